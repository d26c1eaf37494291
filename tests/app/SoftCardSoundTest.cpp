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
#include "base/WideText.h"
#include "base/resource.h"
#include "midi/MidiMessage.h"
#include "midi/MidiOutPort.h"
#include "midi/SoftMidiLibrary.h"
#include "settings/Profile.h"
#include "tests/app/SoundMarks.h"
#include "tests/audio/SoundMeasures.h"
#include "tests/audio/WavRecording.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/DropData.h"
#include "tests/support/MenuWatcher.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"
#include "tests/support/TreeItemText.h"
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
// A softer sound at the same key, for the comparison with the lead.
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
constexpr DWORD kCompanionFirstMs = 150;
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

// The main window as the test drives it: tree items found by the starts of their texts, and
// the user's gestures on them.
class SoftCardWindow {
public:
    explicit SoftCardWindow(ModalRunner& runner) : m_runner(runner) {}

    HWND Window() const { return m_runner.Window(); }
    HWND Tree() const { return GetDlgItem(Window(), IDC_SOUND_TREE); }

    // The item reached from the top by children whose texts start with `prefixes`, each
    // branch opened on the way; null when one is missing.
    HTREEITEM Find(const std::vector<std::string>& prefixes)
    {
        HTREEITEM item = nullptr;
        m_runner.OnUiThread([&] {
            HTREEITEM parent = TVI_ROOT;
            for (const std::string& prefix : prefixes) {
                if (parent != TVI_ROOT)
                    TreeView_Expand(Tree(), parent, TVE_EXPAND);
                item = ChildStartingWith(parent, prefix);
                if (!item)
                    return;
                parent = item;
            }
        });
        return item;
    }

    bool Select(const std::vector<std::string>& prefixes)
    {
        HTREEITEM item = Find(prefixes);
        if (item)
            m_runner.OnUiThread([&] { TreeView_SelectItem(Tree(), item); });
        return item != nullptr;
    }

    std::vector<std::string> ChildTexts(const std::vector<std::string>& prefixes)
    {
        std::vector<std::string> texts;
        HTREEITEM parent = Find(prefixes);
        m_runner.OnUiThread([&] {
            TreeView_Expand(Tree(), parent, TVE_EXPAND);
            for (HTREEITEM item = TreeView_GetChild(Tree(), parent); item; item = TreeView_GetNextSibling(Tree(), item))
                texts.push_back(TreeItemText(Tree(), item));
        });
        return texts;
    }

    // As the shell drops a file onto the item.
    bool DropOnto(const std::vector<std::string>& prefixes, const std::string& path)
    {
        HTREEITEM item = Find(prefixes);
        if (!item)
            return false;
        RECT rect = {};
        m_runner.OnUiThread([&] {
            TreeView_EnsureVisible(Tree(), item);
            TreeView_GetItemRect(Tree(), item, &rect, TRUE);
        });
        POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        MapWindowPoints(Tree(), Window(), &point, 1);
        SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropData({WidenAnsi(path)}, point)), 0);
        return true;
    }

    // The Delete key in the tree.
    void PressDelete()
    {
        NMTVKEYDOWN down = {{Tree(), IDC_SOUND_TREE, static_cast<UINT>(TVN_KEYDOWN)}, VK_DELETE, 0};
        SendMessageA(Window(), WM_NOTIFY, IDC_SOUND_TREE, reinterpret_cast<LPARAM>(&down));
    }

    // The selected item's menu, as the menu key opens it, answered with `choice`.
    bool ChooseFromMenu(const std::string& choice)
    {
        MenuWatcher menu(choice);
        SendMessageA(Window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree()), -1);
        return menu.Shown();
    }

    // The octave's arrows: +1 up, -1 down.
    void StepOctave(int delta)
    {
        NMUPDOWN step = {{GetDlgItem(Window(), IDC_OCTAVE_SPIN), IDC_OCTAVE_SPIN, static_cast<UINT>(UDN_DELTAPOS)}, 0,
                         delta};
        SendMessageA(Window(), WM_NOTIFY, IDC_OCTAVE_SPIN, reinterpret_cast<LPARAM>(&step));
    }

private:
    HTREEITEM ChildStartingWith(HTREEITEM parent, const std::string& prefix) const
    {
        for (HTREEITEM item = TreeView_GetChild(Tree(), parent); item; item = TreeView_GetNextSibling(Tree(), item))
            if (TreeItemText(Tree(), item).rfind(prefix, 0) == 0)
                return item;
        return nullptr;
    }

    ModalRunner& m_runner;
};

// The keyboard's notes, each handed over before it returns.
class Keys {
public:
    explicit Keys(VirtualMidi& midi) : m_midi(midi) {}
    bool Press(std::uint8_t key) { return Send(PackShortMessage(0x90, key, 100)); }
    bool Release(std::uint8_t key) { return Send(PackShortMessage(0x80, key, 0)); }

private:
    bool Send(DWORD message)
    {
        m_midi.Receive(0, message);
        return m_midi.WaitUntilDelivered();
    }
    VirtualMidi& m_midi;
};

} // namespace

TEST(SoftCardPlays, EveryCaseIntoOneRecording)
{
    if (!Sink())
        GTEST_SKIP() << "no file sink: run through tests/app/soft_card_sound.sh";
    const std::string folder = DiskFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(kFontPath, (folder + "\\TimGM6mb.sf2").c_str(), FALSE));
    WriteBytes(folder + "\\" + kWaveName, SineWaveBytes(22050));
    const std::string ini = CProfile::ProgramDirectory() + "tnw.ini";
    {
        std::ofstream file(ini, std::ios::binary);
        file << "[Preview]\r\nMidiInDevice=Keys\r\n[Folders]\r\nLocalSoundFonts_0=" << folder << "\r\n";
    }
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    midi.SetOutputDevices({});
    CSoftMidiLibrary outputs;
    ASSERT_TRUE(outputs.IsLoaded()) << outputs.Failure();
    MessageBoxWatcher boxes;
    Keys keys(midi);
    CSoundMarkLog marks;
    // Loaded at start into the highest free bank of the first device.
    CBrowserDlg dialog(nullptr, kFontPath);
    {
        ModalRunner runner(dialog);
        SoftCardWindow window(runner);
        ASSERT_NE(window.Window(), nullptr);
        SendMessageA(window.Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);

        auto playOne = [&](const char* name, std::uint8_t key) {
            marks.Mark(name, "on");
            ASSERT_TRUE(keys.Press(key)) << name;
            Sleep(kHeldMs);
            marks.Mark(name, "off");
            ASSERT_TRUE(keys.Release(key)) << name;
            Sleep(kGapMs);
        };
        ASSERT_TRUE(window.Select({kLoaded, kDevice1, kLoadedBank, kLead}));
        Sleep(kSettleMs);
        playOne("as-played", kA4);
        window.StepOctave(1);
        ASSERT_EQ(WindowText(GetDlgItem(window.Window(), IDC_OCTAVE_EDIT)), "+1");
        playOne("octave-up", kA4);
        window.StepOctave(-1);
        ASSERT_TRUE(window.Select({kLoaded, kDevice1, kLoadedBank, kOther}));
        playOne("other-preset", kA4);
        ASSERT_TRUE(window.Select({"Sound Files on disk", "Z:", "TimGM6mb.sf2", kDiskLead}));
        playOne("disk-preset", kA4);
        ASSERT_TRUE(window.Select({"Sound Files on disk", "Z:", kWaveName}));
        playOne("disk-wave", kG4);

        // Another bank of the first device, and one of the second, for the notes that go on.
        ASSERT_TRUE(window.DropOnto({kLoaded, kDevice1}, kFontPath));
        ASSERT_TRUE(window.DropOnto({kLoaded, kDevice2}, kFontPath));
        ASSERT_EQ(window.ChildTexts({kLoaded, kDevice2}).size(), 1u) << "the drop onto the second device";

        // E4 of the lead in the other bank, then A4 of the lead in the bank to be removed,
        // both on the first device's channel.
        auto removeWhileSounding = [&](const char* name, const std::function<void()>& remove) {
            ASSERT_TRUE(window.Select({kLoaded, kDevice1, kDroppedBank, kLead})) << name;
            marks.Mark(name, "on");
            ASSERT_TRUE(keys.Press(kE4)) << name;
            Sleep(kCompanionFirstMs);
            ASSERT_TRUE(window.Select({kLoaded, kDevice1, kLoadedBank, kLead})) << name;
            marks.Mark(name, "removed-on");
            ASSERT_TRUE(keys.Press(kA4)) << name;
            Sleep(kBothMs);
            marks.Mark(name, "remove");
            remove();
            marks.Mark(name, "removed");
            Sleep(kAfterMs);
            marks.Mark(name, "off");
            ASSERT_TRUE(keys.Release(kA4)) << name;
            ASSERT_TRUE(keys.Release(kE4)) << name;
            Sleep(kGapMs);
        };
        removeWhileSounding("load-over", [&] { ASSERT_TRUE(window.DropOnto({kLoaded, kDevice1, kLoadedBank}, kFontPath)); });
        EXPECT_EQ(window.ChildTexts({kLoaded, kDevice1}).size(), 2u) << "load-over: both banks stay";
        removeWhileSounding("delete", [&] {
            ASSERT_TRUE(window.Select({kLoaded, kDevice1, kLoadedBank}));
            window.PressDelete();
        });
        EXPECT_EQ(window.ChildTexts({kLoaded, kDevice1}).size(), 1u) << "delete: one bank is left";

        // The other note from another program, on the second device's own output.
        CMidiOutPort otherProgram;
        ASSERT_EQ(otherProgram.OpenPort(1), 0);
        otherProgram.SendShortMessage(0xB0, 0, 127); // the bank dropped onto the second device
        otherProgram.SendShortMessage(0xC0, 80, 0);
        ASSERT_TRUE(window.Select({kLoaded, kDevice1, kDroppedBank, kLead}));
        marks.Mark("clear", "on");
        otherProgram.SendShortMessage(0x90, kE4, 100);
        Sleep(kCompanionFirstMs);
        marks.Mark("clear", "removed-on");
        ASSERT_TRUE(keys.Press(kA4));
        Sleep(kBothMs);
        marks.Mark("clear", "remove");
        ASSERT_TRUE(window.Select({kLoaded, kDevice1}));
        EXPECT_TRUE(window.ChooseFromMenu("Clear all loaded SoundFonts"));
        marks.Mark("clear", "removed");
        Sleep(kAfterMs);
        marks.Mark("clear", "off");
        ASSERT_TRUE(keys.Release(kA4));
        otherProgram.SendShortMessage(0x80, kE4, 0);
        Sleep(kGapMs);
        EXPECT_EQ(window.ChildTexts({kLoaded, kDevice1}), std::vector<std::string>{}) << "clear: no bank is left";
        EXPECT_EQ(window.ChildTexts({kLoaded, kDevice2}).size(), 1u) << "clear: the second device keeps its bank";
        otherProgram.ClosePort();

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
    double hz; // the note heard (Pitch), or the note removed (Removal)
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

// One recording and the timeline it was played by; each case is placed at its first note's
// onset, looked for where the timeline puts it after the case before.
class RecordingReader {
public:
    RecordingReader(const WavRecording& recording, std::vector<SoundMark> marks)
        : m_recording(recording), m_marks(std::move(marks))
    {}

    // The first sample above the threshold near where `soundCase` begins; false when nothing
    // is heard there (`problem` says where it looked).
    bool Place(const char* soundCase, std::string& problem)
    {
        m_case = soundCase;
        const double on = MarkTime(m_marks, soundCase, "on");
        if (on < 0) {
            problem = "not played (no mark)";
            return false;
        }
        double from = 0, to = Seconds(m_recording.mono.size());
        if (m_placed) {
            const double due = m_onset + (on - m_onsetMark);
            from = due - 0.1;
            to = due + 0.3;
        }
        m_onsetMark = on;
        m_placed = true;
        for (std::size_t n = Sample(from); n < Sample(to); ++n) {
            if (std::fabs(m_recording.mono[n]) > kThreshold) {
                m_onset = Seconds(n);
                return true;
            }
        }
        m_onset = from + 0.1;
        problem = "nothing heard from " + std::to_string(from) + " s to " + std::to_string(to) + " s";
        return false;
    }

    // Seconds into the recording of the case's mark `event`.
    double At(const char* event) const { return m_onset + (MarkTime(m_marks, m_case, event) - m_onsetMark); }
    double Onset() const { return m_onset; }

    std::size_t Sample(double seconds) const
    {
        const double at = std::max(0.0, seconds) * m_recording.rate;
        return std::min(static_cast<std::size_t>(at), m_recording.mono.size());
    }
    std::vector<float> Span(double from, double to) const
    {
        return std::vector<float>(m_recording.mono.begin() + static_cast<std::ptrdiff_t>(Sample(from)),
                                  m_recording.mono.begin() + static_cast<std::ptrdiff_t>(Sample(to)));
    }
    LevelRange Levels(double from, double to) const
    {
        return WindowLevels(m_recording.mono, Sample(from), Sample(to), Sample(kLevelWindow));
    }
    LevelRange ToneLevels(double from, double to, double hz) const
    {
        return ::ToneLevels(m_recording.mono, Sample(from), Sample(to), m_recording.rate, hz, Sample(kLevelWindow));
    }
    unsigned Rate() const { return m_recording.rate; }

private:
    double Seconds(std::size_t sample) const { return static_cast<double>(sample) / m_recording.rate; }

    const WavRecording& m_recording;
    std::vector<SoundMark> m_marks;
    std::string m_case;
    bool m_placed = false;
    double m_onset = 0, m_onsetMark = 0;
};

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
    RecordingReader reader(recording, ReadSoundMarks(MarksPath()));

    double asPlayedHz = 0;
    std::vector<double> asPlayedShape;
    auto shapeAt = [&](double onset, double hz) {
        return HarmonicShape([&](double at) { return reader.ToneLevels(onset + kPitchFrom, onset + kPitchTo, at); }, hz);
    };
    for (const SoundCase& c : kCases) {
        std::string problem;
        if (!reader.Place(c.name, problem)) {
            ADD_FAILURE() << c.name << ": " << problem;
            continue;
        }
        const double onset = reader.Onset();
        std::cout << c.name << ": heard from " << onset << " s" << std::endl;
        switch (c.measure) {
        case Measure::Pitch: {
            const double hz = AutocorrelationPitch(reader.Span(onset + kPitchFrom, onset + kPitchTo), reader.Rate(),
                                                   100.0, 2000.0);
            EXPECT_LT(std::fabs(Cents(hz, c.hz)), 5.0)
                << c.name << ": heard at " << hz << " Hz, " << Cents(hz, c.hz) << " cents from " << c.hz << " Hz";
            const double held = reader.Levels(onset + kPitchFrom, onset + kPitchTo).highestDb;
            const double quietFrom = reader.At("off") + kQuietFrom;
            const double after = reader.Levels(quietFrom, quietFrom + kQuietSpan).highestDb;
            EXPECT_LT(after, held - 20.0) << c.name << ": " << after << " dB from " << kQuietFrom
                                          << " s after its release, " << held << " dB while held";
            if (std::string(c.name) == "as-played") {
                asPlayedHz = hz;
                asPlayedShape = shapeAt(onset, c.hz);
            }
            if (std::string(c.name) == "octave-up") {
                EXPECT_NEAR(Cents(hz, asPlayedHz), 1200.0, 5.0) << c.name << ": " << hz << " Hz against " << asPlayedHz;
            }
            break;
        }
        case Measure::OtherShape: {
            const std::vector<double> shape = shapeAt(onset, c.hz);
            double difference = 0;
            for (std::size_t h = 0; h < shape.size() && h < asPlayedShape.size(); ++h)
                difference = std::max(difference, std::fabs(shape[h] - asPlayedShape[h]));
            EXPECT_GT(difference, 20.0) << c.name << ": harmonics 2 to 5 at " << DescribeShape(shape)
                                        << " of the fundamental, the first preset's at " << DescribeShape(asPlayedShape);
            break;
        }
        case Measure::Removal: {
            // The loudest of each note's windows: the lead's level beats, by 20 dB at times.
            const double both = reader.At("removed-on") + 0.08;
            const double removedBefore = reader.ToneLevels(both, reader.At("remove"), c.hz).highestDb;
            const double otherBefore = reader.ToneLevels(both, reader.At("remove"), kE4Hz).highestDb;
            const double after = reader.At("removed") + kFadeTime;
            const double end = reader.At("off") - 0.02;
            const double removedAfter = reader.ToneLevels(after, end, c.hz).highestDb;
            const double otherAfter = reader.ToneLevels(after, end, kE4Hz).highestDb;
            const double took = reader.At("removed") - reader.At("remove");
            std::cout << c.name << ": the removed note " << removedBefore << " dB, then " << removedAfter
                      << " dB; the other " << otherBefore << " dB, then " << otherAfter << " dB; the command took "
                      << took << " s" << std::endl;
            EXPECT_GT(removedBefore, -50.0) << c.name << ": the note to be removed was heard at " << removedBefore << " dB";
            EXPECT_GT(otherBefore, -50.0) << c.name << ": the other note was heard at " << otherBefore << " dB";
            EXPECT_LT(removedAfter, removedBefore - 25.0)
                << c.name << ": the removed note at " << removedAfter << " dB from " << kFadeTime
                << " s after the command (which took " << took << " s), " << removedBefore << " dB before";
            // Its level beats too; a note that stopped is below -65 dB by then.
            EXPECT_GT(otherAfter, std::max(-55.0, otherBefore - 20.0))
                << c.name << ": the other note at " << otherAfter << " dB after the command, " << otherBefore
                << " dB before";
            break;
        }
        }
    }
}
