// End to end through the PC's audio: Tonewell on the software card, a SoundFont loaded into a
// bank of "Software Synth 1", a preset selected, previewing started and a note played on the
// virtual MIDI keyboard, then again an octave up. Run by soft_card_sound.sh in two steps:
// SoftCardPlays.* plays into Wine's file sink, and once that process has ended and the file is
// whole, SoftCardRecording.* measures what was recorded. TONEWELL_AUDIO_SINK names the file.

#include "app/BrowserDlg.h"
#include "base/resource.h"
#include "midi/MidiMessage.h"
#include "midi/SoftMidiLibrary.h"
#include "settings/Profile.h"
#include "tests/audio/SoundMeasures.h"
#include "tests/audio/WavRecording.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"
#include "tests/support/TreeItemText.h"
#include "tests/support/VirtualMidi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

const char kFont[] = "Z:\\usr\\share\\sounds\\sf2\\TimGM6mb.sf2";
// A sustained sound whose sample holds its key's pitch (TimGM6mb's organs sound an octave
// low and its flute drifts by 15 cents, in FluidSynth's render as in ours).
const char kPresetPrefix[] = "080 ";
constexpr std::uint8_t kKey = 69; // A4
constexpr double kKeyHz = 440.0;
constexpr DWORD kHeldMs = 1500;
constexpr DWORD kAfterReleaseMs = 2500;

const char* Sink()
{
    const char* sink = std::getenv("TONEWELL_AUDIO_SINK");
    return sink && *sink ? sink : nullptr;
}

// The first child of `parent` whose text starts with `prefix`, or null.
HTREEITEM ChildStartingWith(HWND tree, HTREEITEM parent, const std::string& prefix)
{
    for (HTREEITEM item = TreeView_GetChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item))
        if (TreeItemText(tree, item).rfind(prefix, 0) == 0)
            return item;
    return nullptr;
}

} // namespace

TEST(SoftCardPlays, APresetOfALoadedBankOnTheKeyboard)
{
    if (!Sink())
        GTEST_SKIP() << "no file sink: run through tests/app/soft_card_sound.sh";
    const std::string ini = CProfile::ProgramDirectory() + "tnw.ini";
    {
        std::ofstream file(ini, std::ios::binary);
        file << "[Preview]\r\nMidiInDevice=Keys\r\n";
    }
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    midi.SetOutputDevices({});
    CSoftMidiLibrary outputs;
    ASSERT_TRUE(outputs.IsLoaded()) << outputs.Failure();
    MessageBoxWatcher boxes;
    // Loaded at start into the highest free bank of the first device, and opened.
    CBrowserDlg dialog(nullptr, kFont);
    {
        ModalRunner runner(dialog);
        HWND window = runner.Window();
        ASSERT_NE(window, nullptr);
        HWND tree = GetDlgItem(window, IDC_SOUND_TREE);
        HTREEITEM device = ChildStartingWith(tree, TreeView_GetRoot(tree), "Software Synth 1");
        ASSERT_NE(device, nullptr);
        HTREEITEM bank = ChildStartingWith(tree, device, "126 - ");
        ASSERT_NE(bank, nullptr);
        HTREEITEM preset = nullptr;
        runner.OnUiThread([&] {
            TreeView_Expand(tree, bank, TVE_EXPAND);
            preset = ChildStartingWith(tree, bank, kPresetPrefix);
            if (preset)
                TreeView_SelectItem(tree, preset);
        });
        ASSERT_NE(preset, nullptr);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        // No card here: its library's failure is the one thing told.
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Couldn't initialize the SoundFont Management System "
                                                           "(Load Dll Failed). Have you remembered to install it?"}));

        // The same key twice: as it is, then an octave up.
        for (int octave = 0; octave <= 1; ++octave) {
            if (octave == 1) {
                NMUPDOWN up = {{GetDlgItem(window, IDC_OCTAVE_SPIN), IDC_OCTAVE_SPIN, static_cast<UINT>(UDN_DELTAPOS)}, 0, 1};
                SendMessageA(window, WM_NOTIFY, IDC_OCTAVE_SPIN, reinterpret_cast<LPARAM>(&up));
                ASSERT_EQ(WindowText(GetDlgItem(window, IDC_OCTAVE_EDIT)), "+1");
            }
            midi.Receive(0, PackShortMessage(0x90, kKey, 100));
            ASSERT_TRUE(midi.WaitUntilDelivered());
            Sleep(kHeldMs);
            midi.Receive(0, PackShortMessage(0x80, kKey, 0));
            ASSERT_TRUE(midi.WaitUntilDelivered());
            Sleep(kAfterReleaseMs);
        }
        runner.Close();
    }
    DeleteFileA(ini.c_str());
}

namespace {

struct HeardNote {
    std::string problems; // "" when it was heard as expected
    double hz = 0.0;
    std::size_t end = 0;  // one after its last sample above the threshold
};

// The first note sounding at or after `from`: where it starts, where half a second of quiet
// begins after it (it stopped), and its pitch in the middle, away from the attack.
HeardNote MeasureNote(const WavRecording& recording, std::size_t from)
{
    constexpr float kThreshold = 0.01f;
    const std::vector<float>& mono = recording.mono;
    HeardNote note;
    std::size_t begin = from;
    while (begin < mono.size() && std::fabs(mono[begin]) <= kThreshold)
        ++begin;
    if (begin == mono.size()) {
        note.problems = "nothing was heard";
        return note;
    }
    const std::size_t quietNeeded = recording.rate / 2;
    std::size_t end = begin, quiet = 0;
    for (std::size_t i = begin; i < mono.size() && quiet < quietNeeded; ++i) {
        if (std::fabs(mono[i]) > kThreshold) {
            quiet = 0;
            end = i + 1;
        } else {
            ++quiet;
        }
    }
    const double rate = recording.rate;
    const double heldSeconds = (end - begin) / rate;
    // Held for 1.5 s: much longer means the release never came.
    if (quiet < quietNeeded || heldSeconds < 1.0 || heldSeconds > 2.5)
        note.problems += " sounded for " + std::to_string(heldSeconds) + " s and never stopped;";
    const std::size_t middle = begin + static_cast<std::size_t>(0.4 * rate);
    if (middle + quietNeeded > mono.size())
        return note;
    const std::vector<float> held(mono.begin() + static_cast<std::ptrdiff_t>(middle),
                                  mono.begin() + static_cast<std::ptrdiff_t>(middle + quietNeeded));
    note.hz = AutocorrelationPitch(held, recording.rate, 100.0, 2000.0);
    if (note.hz <= 0.0)
        note.problems += " no pitch found;";
    note.end = end;
    return note;
}

} // namespace

TEST(SoftCardRecording, EachNoteIsHeardAtItsPitchAndStopsAfterItsRelease)
{
    const char* sink = Sink();
    if (!sink)
        GTEST_SKIP() << "no file sink: run through tests/app/soft_card_sound.sh";
    std::ifstream file(sink, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    WavRecording recording;
    ASSERT_EQ(ReadWavRecording(bytes, &recording), "") << sink;
    ASSERT_GT(recording.rate, 0u);

    const struct {
        const char* name;
        double hz;
    } cases[] = {{"as played", kKeyHz}, {"an octave up", 2 * kKeyHz}};
    std::size_t from = 0;
    std::vector<double> heard;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HeardNote note = MeasureNote(recording, from);
        ASSERT_EQ(note.problems, "") << "from sample " << from;
        EXPECT_LT(std::fabs(Cents(note.hz, c.hz)), 5.0) << note.hz << " Hz";
        heard.push_back(note.hz);
        from = note.end;
    }
    EXPECT_NEAR(Cents(heard[1], heard[0]), 1200.0, 5.0);
}
