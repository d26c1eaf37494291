// End to end through the PC's audio: Tonewell on the software card, a SoundFont loaded into a
// bank of "Software Synth 1", a preset selected, previewing started and a note played on the
// virtual MIDI keyboard. Run by soft_card_sound.sh in two steps: SoftCardPlays.* plays into
// Wine's file sink, and once that process has ended and the file is whole,
// SoftCardRecording.* measures what was recorded. TONEWELL_AUDIO_SINK names the file.

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
    CBrowserDlg dialog(nullptr);
    // Loaded at start into the highest free bank of the first device, and opened.
    dialog.m_startupFile = kFont;
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
            dialog.m_treeCommands.ListChildren(bank);
            preset = ChildStartingWith(tree, bank, kPresetPrefix);
            if (preset)
                TreeView_SelectItem(tree, preset);
        });
        ASSERT_NE(preset, nullptr);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        // No card here: its library's failure is the one thing told.
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Couldn't initialize the SoundFont Management System "
                                                           "(Load Dll Failed). Have you remembered to install it?"}));

        midi.Receive(0, PackShortMessage(0x90, kKey, 100));
        ASSERT_TRUE(midi.WaitUntilDelivered());
        Sleep(kHeldMs);
        midi.Receive(0, PackShortMessage(0x80, kKey, 0));
        ASSERT_TRUE(midi.WaitUntilDelivered());
        Sleep(kAfterReleaseMs);
        runner.Close();
    }
    DeleteFileA(ini.c_str());
}

TEST(SoftCardRecording, TheNoteIsHeardAtItsPitchAndStopsAfterItsRelease)
{
    const char* sink = Sink();
    if (!sink)
        GTEST_SKIP() << "no file sink: run through tests/app/soft_card_sound.sh";
    std::ifstream file(sink, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    WavRecording recording;
    ASSERT_EQ(ReadWavRecording(bytes, &recording), "") << sink;
    ASSERT_GT(recording.rate, 0u);
    const double rate = recording.rate;

    const SoundSpan span = FindSound(recording.mono, 0.01f);
    ASSERT_GT(span.end, span.begin) << "nothing was heard";
    const double heldSeconds = (span.end - span.begin) / rate;
    // Held for 1.5 s: sounding much longer means the release never came.
    EXPECT_GT(heldSeconds, 1.0);
    EXPECT_LT(heldSeconds, 2.5);
    const double quietAfter = (recording.mono.size() - span.end) / rate;
    EXPECT_GT(quietAfter, 1.0) << "the note still sounds at the end of the recording";

    // The middle of the held note, away from the attack.
    const std::size_t from = span.begin + static_cast<std::size_t>(0.4 * rate);
    const std::vector<float> middle(recording.mono.begin() + static_cast<std::ptrdiff_t>(from),
                                    recording.mono.begin() + static_cast<std::ptrdiff_t>(from + recording.rate / 2));
    const double hz = AutocorrelationPitch(middle, recording.rate, 100.0, 2000.0);
    ASSERT_GT(hz, 0.0) << "no pitch found";
    EXPECT_LT(std::fabs(Cents(hz, kKeyHz)), 5.0) << hz << " Hz";
}
