// End to end through the PC's audio: Tonewell on the software card, driven as a user drives
// it, notes played on the virtual MIDI keyboard, and what the card plays recorded by Wine's
// file sink. Run by soft_card_sound.sh in two steps: SoftCardPlays.* plays every case into one
// recording and keeps the timeline of what it did beside it; once that process has ended and
// the file is whole, SoftCardRecording.* finds each case in the recording by that timeline
// (each begins after a silence) and measures it. TONEWELL_AUDIO_SINK names the file.
//
// The cases, in the order played:
//   as-played     a preset of a loaded bank, A4: heard at 440 Hz, and stops after its release
//   octave-up     the same an octave up: 880 Hz, 1,200 cents above
//   other-preset  another preset of the bank at the same key: the balance of its harmonics
//                 differs from the first's
//   disk-preset   a preset of a SoundFont file on disk, through the preview bank: 440 Hz
//   disk-wave     a wave file on disk, whose root key is 60, played at G4: 7 semitones above it
//   load-over     the bank of a sounding note loaded again (a drop onto it), while a note of
//                 another bank sounds on: the first falls silent, the other goes on
//   delete        the same with the bank deleted (the Delete key)
//   clear         the same with the device cleared (its menu), the other note played on the
//                 second device by another program

#include "app/BrowserDlg.h"
#include "base/SoftCardLibrary.h"
#include "base/resource.h"
#include "engine/SoftControl.h"
#include "midi/MidiMessage.h"
#include "midi/MidiOutPort.h"
#include "midi/SoftMidiLibrary.h"
#include "settings/Profile.h"
#include "tests/app/SoftCardWindow.h"
#include "tests/audio/SoundMarks.h"
#include "tests/audio/TimedRecording.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"
#include "tests/support/VirtualMidi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>

namespace {

const char kFontPath[] = "Z:\\usr\\share\\sounds\\sf2\\TimGM6mb.sf2";
// A sustained sound whose sample holds its key's pitch (TimGM6mb's organs sound an octave
// low and its flute drifts by 15 cents, in FluidSynth's render as in ours).
const char kLead[] = "080 ";
const char kDiskLead[] = "000-080 ";
// A flute: at the same key, its harmonics stand in another balance than the lead's (a square
// wave, without even ones).
const char kOther[] = "073 ";
const char kLoaded[] = "Loaded SoundFonts";
const char kDevice1[] = "Software Synth 1";
const char kDevice2[] = "Software Synth 2";
const char kLoadedBank[] = "126 - "; // the start-up file's: the first device's highest free bank
const char kDroppedBank[] = "125 - "; // the next one
const char kWaveName[] = "tone.wav";

constexpr std::uint8_t kA4 = 69;
constexpr std::uint8_t kE4 = 64;
constexpr std::uint8_t kG4 = 67;
constexpr double kA4Hz = 440.0;
constexpr double kE4Hz = 329.628;

// The timeline: a note is held for kHeldMs, and every case ends in kGapMs of silence, which
// the release (with the reverb's tail) falls below the threshold in well before.
constexpr DWORD kHeldMs = 500;
constexpr DWORD kGapMs = 400;
// The cases that remove a sound: the other note first, then the one to be removed, both
// heard together for kBothMs, the window's command, then kAfterMs to hear what is left.
constexpr DWORD kOtherFirstMs = 150;
constexpr DWORD kBothMs = 300;
constexpr DWORD kAfterMs = 450;
// Until the buffers between the card and the file have filled, sound reaches the file sooner
// than it does later: the cases begin once they are full.
constexpr DWORD kSettleMs = 600;

const char* Sink()
{
    const char* sink = std::getenv("TONEWELL_AUDIO_SINK");
    return sink && *sink ? sink : nullptr;
}

std::string MarksPath()
{
    return std::string(Sink()) + ".marks";
}

// Beside the recording: the folder listed under "Sound Files on disk".
std::string DiskFolder()
{
    std::string sink = Sink();
    return sink.substr(0, sink.find_last_of('\\') + 1) + "on disk";
}

// Why the card can't be heard, as it says: "" while it plays through an audio device.
std::string CardAudioFailure()
{
    auto control = reinterpret_cast<const SoftControlTable*>(
        GetProcAddress(GetModuleHandleA(kSoftCardLibraryName), kSoftControlName));
    if (!control)
        return std::string(kSoftCardLibraryName) + " has no " + kSoftControlName;
    char text[512] = {};
    control->AudioFailure(text, sizeof text);
    return text;
}

// Plays the cases into the recording and marks each step on the timeline: the notes on the
// virtual keyboard, the window's commands as the user gives them.
class CasePlayer {
public:
    CasePlayer(SoftCardWindow& window, VirtualMidi& midi, CSoundMarkLog& marks)
        : m_window(window), m_midi(midi), m_marks(marks)
    {}

    void PlayNote(const char* name, std::uint8_t key)
    {
        m_marks.Mark(name, "on");
        ASSERT_TRUE(Press(key)) << name;
        Sleep(kHeldMs);
        m_marks.Mark(name, "off");
        ASSERT_TRUE(Release(key)) << name;
        Sleep(kGapMs);
    }

    // The other note (E4), readied (its preset chosen), started and stopped by `other`; in
    // between A4 of the preset at `removedPreset`, and `remove` while both sound. Each mark is
    // taken just before the note or the command it marks.
    struct OtherNote {
        std::function<void()> ready, start, stop;
    };
    void RemoveWhileSounding(const char* name, const OtherNote& other, const TreePath& removedPreset,
                             const std::function<void()>& remove)
    {
        ASSERT_NO_FATAL_FAILURE(other.ready()) << name;
        m_marks.Mark(name, "on");
        ASSERT_NO_FATAL_FAILURE(other.start()) << name;
        Sleep(kOtherFirstMs);
        ASSERT_TRUE(m_window.Select(removedPreset)) << name;
        m_marks.Mark(name, "removed-on");
        ASSERT_TRUE(Press(kA4)) << name;
        Sleep(kBothMs);
        m_marks.Mark(name, "remove");
        ASSERT_NO_FATAL_FAILURE(remove()) << name;
        m_marks.Mark(name, "removed");
        Sleep(kAfterMs);
        m_marks.Mark(name, "off");
        ASSERT_TRUE(Release(kA4)) << name;
        ASSERT_NO_FATAL_FAILURE(other.stop()) << name;
        Sleep(kGapMs);
    }

    // The keyboard's notes, each handed over before they return.
    bool Press(std::uint8_t key) { return Send(PackShortMessage(0x90, key, 100)); }
    bool Release(std::uint8_t key) { return Send(PackShortMessage(0x80, key, 0)); }

private:
    bool Send(std::uint32_t message)
    {
        m_midi.Receive(0, message);
        return m_midi.WaitUntilDelivered();
    }

    SoftCardWindow& m_window;
    VirtualMidi& m_midi;
    CSoundMarkLog& m_marks;
};

// The files listed under "Sound Files on disk", and tnw.ini listing their folder.
void PutFilesOnDisk(const std::string& ini)
{
    const std::string folder = DiskFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(kFontPath, (folder + "\\TimGM6mb.sf2").c_str(), FALSE));
    WriteBytes(folder + "\\" + kWaveName, SineWaveBytes(22050));
    std::ofstream file(ini, std::ios::binary);
    file << "[Preview]\r\nMidiInDevice=Keys\r\n[Folders]\r\nLocalSoundFonts_0=" << folder << "\r\n";
}

const TreePath kLoadedLead = {kLoaded, kDevice1, kLoadedBank, kLead};
const TreePath kDroppedLead = {kLoaded, kDevice1, kDroppedBank, kLead};

// The cases of one note each.
void PlayTheNotes(SoftCardWindow& window, CasePlayer& player)
{
    ASSERT_TRUE(window.Select(kLoadedLead));
    Sleep(kSettleMs);
    ASSERT_NO_FATAL_FAILURE(player.PlayNote("as-played", kA4));
    window.StepOctave(1);
    ASSERT_EQ(WindowText(GetDlgItem(window.Window(), IDC_OCTAVE_EDIT)), "+1");
    ASSERT_NO_FATAL_FAILURE(player.PlayNote("octave-up", kA4));
    window.StepOctave(-1);
    ASSERT_EQ(WindowText(GetDlgItem(window.Window(), IDC_OCTAVE_EDIT)), "0");
    ASSERT_TRUE(window.Select({kLoaded, kDevice1, kLoadedBank, kOther}));
    ASSERT_NO_FATAL_FAILURE(player.PlayNote("other-preset", kA4));
    ASSERT_TRUE(window.Select({"Sound Files on disk", "Z:", "TimGM6mb.sf2", kDiskLead}));
    ASSERT_NO_FATAL_FAILURE(player.PlayNote("disk-preset", kA4));
    ASSERT_TRUE(window.Select({"Sound Files on disk", "Z:", kWaveName}));
    ASSERT_NO_FATAL_FAILURE(player.PlayNote("disk-wave", kG4));
}

// The cases that remove a sound while another sounds on.
void PlayTheRemovals(SoftCardWindow& window, CasePlayer& player)
{
    // Another bank of the first device, and one of the second, for the notes that go on.
    ASSERT_TRUE(window.DropOnto({kLoaded, kDevice1}, kFontPath));
    ASSERT_TRUE(window.DropOnto({kLoaded, kDevice2}, kFontPath));
    ASSERT_EQ(window.ChildTexts({kLoaded, kDevice2}).size(), 1u) << "the drop onto the second device";

    // The other note on the same device and channel, from the other bank.
    const CasePlayer::OtherNote otherBank = {[&] { ASSERT_TRUE(window.Select(kDroppedLead)); },
                                             [&] { ASSERT_TRUE(player.Press(kE4)); },
                                             [&] { ASSERT_TRUE(player.Release(kE4)); }};
    const TreePath loaded = {kLoaded, kDevice1, kLoadedBank};
    ASSERT_NO_FATAL_FAILURE(player.RemoveWhileSounding("load-over", otherBank, kLoadedLead, [&] {
        ASSERT_TRUE(window.DropOnto(loaded, kFontPath));
    }));
    EXPECT_EQ(window.ChildTexts({kLoaded, kDevice1}).size(), 2u) << "load-over: both banks stay";
    ASSERT_NO_FATAL_FAILURE(player.RemoveWhileSounding("delete", otherBank, kLoadedLead, [&] {
        ASSERT_TRUE(window.Select(loaded));
        window.PressDelete();
    }));
    EXPECT_EQ(window.ChildTexts({kLoaded, kDevice1}).size(), 1u) << "delete: one bank is left";

    // The other note from another program, on the second device's own output.
    CMidiOutPort otherProgram;
    ASSERT_EQ(otherProgram.OpenPort(1), 0);
    otherProgram.SendShortMessage(0xB0, 0, 127); // the bank dropped onto the second device
    otherProgram.SendShortMessage(0xC0, 80, 0);
    const CasePlayer::OtherNote otherDevice = {[] {}, [&] { otherProgram.SendShortMessage(0x90, kE4, 100); },
                                               [&] { otherProgram.SendShortMessage(0x80, kE4, 0); }};
    ASSERT_NO_FATAL_FAILURE(player.RemoveWhileSounding("clear", otherDevice, kDroppedLead, [&] {
        ASSERT_TRUE(window.Select({kLoaded, kDevice1}));
        ASSERT_TRUE(window.ChooseFromMenu("Clear all loaded SoundFonts"));
    }));
    otherProgram.ClosePort();
    EXPECT_EQ(window.ChildTexts({kLoaded, kDevice1}), std::vector<std::string>{}) << "clear: no bank is left";
    EXPECT_EQ(window.ChildTexts({kLoaded, kDevice2}).size(), 1u) << "clear: the second device keeps its bank";
}

} // namespace

TEST(SoftCardPlays, EveryCaseIntoOneRecording)
{
    if (!Sink())
        GTEST_SKIP() << "no file sink: run through tests/app/soft_card_sound.sh";
    const std::string ini = CProfile::ProgramDirectory() + "tnw.ini";
    ASSERT_NO_FATAL_FAILURE(PutFilesOnDisk(ini));
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    midi.SetOutputDevices({});
    CSoftMidiLibrary outputs;
    ASSERT_TRUE(outputs.IsLoaded()) << outputs.Failure();
    MessageBoxWatcher boxes;
    CSoundMarkLog marks;
    // Loaded at start into the highest free bank of the first device.
    CBrowserDlg dialog(nullptr, kFontPath);
    {
        ModalRunner runner(dialog);
        SoftCardWindow window(runner);
        ASSERT_NE(window.Window(), nullptr);
        ASSERT_EQ(CardAudioFailure(), "") << "the card plays into no audio device";
        SendMessageA(window.Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        CasePlayer player(window, midi, marks);
        PlayTheNotes(window, player);
        if (!HasFatalFailure())
            PlayTheRemovals(window, player);
        // No card here: its library's failure is the one thing told.
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Couldn't initialize the SoundFont Management System "
                                                           "(Load Dll Failed). Have you remembered to install it?"}));
        runner.Close();
    }
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(marks.Write(MarksPath())) << MarksPath();
}

namespace {

enum class Measure {
    Pitch,      // heard at its pitch, and silent soon after its release
    OtherShape, // harmonics in another balance than "as-played"
    Removal,    // the removed note falls silent, the other goes on
};

struct SoundCase {
    const char* name;
    Measure measure;
    double hz; // the note heard (Pitch), or the note removed (Removal: the other is E4)
};

const SoundCase kCases[] = {
    {"as-played", Measure::Pitch, kA4Hz},
    {"octave-up", Measure::Pitch, 2 * kA4Hz},
    {"other-preset", Measure::OtherShape, kA4Hz},
    {"disk-preset", Measure::Pitch, kA4Hz},
    // The wave's 441 Hz at its root key 60, played 7 semitones higher.
    {"disk-wave", Measure::Pitch, 441.0 * 1.4983070768766815},
    {"load-over", Measure::Removal, kA4Hz},
    {"delete", Measure::Removal, kA4Hz},
    {"clear", Measure::Removal, kA4Hz},
};

constexpr float kThreshold = 0.01f;
constexpr double kPitchFrom = 0.12, kPitchTo = 0.42; // seconds after the onset
// After a release, what sounds on is the reverb's tail, which falls by 20 dB and more in:
constexpr double kQuietFrom = 0.2; // seconds after the release
constexpr double kQuietSpan = 0.15;
// The time a removed sound is given to fall silent once the window's command has returned:
// the voice fades in milliseconds, the reverb's tail takes longer.
constexpr double kFadeTime = 0.25;
constexpr double kLevelWindow = 0.1; // seconds

// The levels of the 2nd to 5th harmonics against the fundamental's, each the loudest of its
// windows, held above -60 dB so that harmonics lost in the noise compare as equal.
std::vector<double> HarmonicShape(const std::function<LevelRange(double hz)>& levels, double fundamentalHz)
{
    const double fundamental = levels(fundamentalHz).highestDb;
    std::vector<double> shape;
    for (int harmonic = 2; harmonic <= 5; ++harmonic)
        shape.push_back(std::max(-60.0, levels(harmonic * fundamentalHz).highestDb - fundamental));
    return shape;
}

std::string DescribeShape(const std::vector<double>& shape)
{
    std::string text;
    for (double db : shape)
        text += (text.empty() ? "" : " ") + std::to_string(static_cast<int>(std::lround(db)));
    return text + " dB";
}

struct Heard {
    double hz = 0;
    std::vector<double> shape;
};

std::vector<double> ShapeOf(const CTimedRecording& timed, double hz)
{
    const double onset = timed.Onset();
    return HarmonicShape([&](double at) { return timed.ToneLevels(onset + kPitchFrom, onset + kPitchTo, at); }, hz);
}

Heard HearPitchAndRelease(const CTimedRecording& timed, const SoundCase& c)
{
    const double onset = timed.Onset();
    Heard heard;
    heard.hz = AutocorrelationPitch(timed.Span(onset + kPitchFrom, onset + kPitchTo), timed.Rate(), 100.0, 2000.0);
    EXPECT_LT(std::fabs(Cents(heard.hz, c.hz)), 5.0)
        << c.name << ": heard at " << heard.hz << " Hz, " << Cents(heard.hz, c.hz) << " cents from " << c.hz << " Hz";
    heard.shape = ShapeOf(timed, c.hz);
    const double held = timed.Levels(onset + kPitchFrom, onset + kPitchTo).highestDb;
    const double quietFrom = timed.At("off") + kQuietFrom;
    const double after = timed.Levels(quietFrom, quietFrom + kQuietSpan).highestDb;
    EXPECT_LT(after, held - 20.0) << c.name << ": " << after << " dB from " << kQuietFrom << " s after its release, "
                                  << held << " dB while held";
    return heard;
}

void HearOtherShape(const CTimedRecording& timed, const SoundCase& c, const std::vector<double>& firstShape)
{
    const std::vector<double> shape = ShapeOf(timed, c.hz);
    double difference = 0;
    for (std::size_t h = 0; h < shape.size() && h < firstShape.size(); ++h)
        difference = std::max(difference, std::fabs(shape[h] - firstShape[h]));
    EXPECT_GT(difference, 20.0) << c.name << ": harmonics 2 to 5 at " << DescribeShape(shape)
                                << " of the fundamental, the first preset's at " << DescribeShape(firstShape);
}

// The loudest of each note's windows: the lead's level beats, by 20 dB at times.
void HearRemoval(const CTimedRecording& timed, const SoundCase& c)
{
    const double both = timed.At("removed-on") + 0.08;
    const double removedBefore = timed.ToneLevels(both, timed.At("remove"), c.hz).highestDb;
    const double otherBefore = timed.ToneLevels(both, timed.At("remove"), kE4Hz).highestDb;
    const double after = timed.At("removed") + kFadeTime;
    const double end = timed.At("off") - 0.02;
    const double removedAfter = timed.ToneLevels(after, end, c.hz).highestDb;
    const double otherAfter = timed.ToneLevels(after, end, kE4Hz).highestDb;
    const double took = timed.At("removed") - timed.At("remove");
    std::cout << c.name << ": the removed note " << removedBefore << " dB, then " << removedAfter << " dB; the other "
              << otherBefore << " dB, then " << otherAfter << " dB; the command took " << took << " s" << std::endl;
    EXPECT_GT(removedBefore, -50.0) << c.name << ": the note to be removed was heard at " << removedBefore << " dB";
    EXPECT_GT(otherBefore, -50.0) << c.name << ": the other note was heard at " << otherBefore << " dB";
    EXPECT_LT(removedAfter, removedBefore - 25.0)
        << c.name << ": the removed note at " << removedAfter << " dB from " << kFadeTime
        << " s after the command (which took " << took << " s), " << removedBefore << " dB before";
    // Its level beats too, its loudest window down to 15 dB below; a note that stopped is 30 dB
    // and more below by then.
    EXPECT_GT(otherAfter, otherBefore - 22.0)
        << c.name << ": the other note at " << otherAfter << " dB after the command, " << otherBefore << " dB before";
}

} // namespace

TEST(SoftCardRecording, EachCaseIsHeardAsPlayed)
{
    const char* sink = Sink();
    if (!sink)
        GTEST_SKIP() << "no file sink: run through tests/app/soft_card_sound.sh";
    std::ifstream file(sink, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    WavRecording recording;
    ASSERT_EQ(ReadWavRecording(bytes, &recording), "") << sink;
    ASSERT_GT(recording.rate, 0u);
    CTimedRecording timed(recording, ReadSoundMarks(MarksPath()), kThreshold, kLevelWindow);
    Heard first;
    for (const SoundCase& c : kCases) {
        std::string problem;
        if (!timed.Place(c.name, problem)) {
            ADD_FAILURE() << c.name << ": " << problem;
            continue;
        }
        std::cout << c.name << ": heard from " << timed.Onset() << " s" << std::endl;
        switch (c.measure) {
        case Measure::Pitch: {
            const Heard heard = HearPitchAndRelease(timed, c);
            if (std::string(c.name) == "as-played")
                first = heard;
            if (std::string(c.name) == "octave-up") {
                EXPECT_NEAR(Cents(heard.hz, first.hz), 1200.0, 5.0)
                    << c.name << ": " << heard.hz << " Hz against " << first.hz << " Hz";
            }
            break;
        }
        case Measure::OtherShape:
            HearOtherShape(timed, c, first.shape);
            break;
        case Measure::Removal:
            HearRemoval(timed, c);
            break;
        }
    }
}
