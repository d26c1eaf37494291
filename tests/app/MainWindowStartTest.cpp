// Start-up and shutdown of the main window on the simulated card: the tree it shows, the
// settings file it writes, and what a second start makes of that file.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "settings/Profile.h"
#include "tests/engine/SimAccess.h"
#include "tests/support/VirtualMidi.h"

namespace {

const char kFirstRunIni[] =
    "[Preview]\r\n"
    "PreviewEnableOnStartup=False\r\n"
    "MidiInDevice=\r\n"
    "DevMapArray_SFDevName_0=Simulated Synth 1\r\n"
    "DevMapArray_SFDevName_1=Simulated Synth 2\r\n"
    "DevMapArray_DevName_0=\r\n"
    "DevMapArray_DevName_1=\r\n"
    "DevMapArray_Channel_0=15\r\n"
    "DevMapArray_Channel_1=15\r\n"
    "DevMapArray_Enable_0=True\r\n"
    "DevMapArray_Enable_1=True\r\n"
    "LFSoundFontDevice=Simulated Synth 1\r\n"
    "LFMidiOutDevice=\r\n"
    "LFMidiOutChannel=15\r\n"
    "LFMidiOutBank=127\r\n"
    "LFMidiOutInstrument=127\r\n"
    "[General]\r\n"
    "LastOpenDir=\r\n"
    "ShowPianoStrip=True\r\n";

} // namespace

TEST_F(MainWindowTest, FirstStartShowsTheDevicesAndWritesEverySettingAtExit)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(m_boxes.Boxes().empty());

    TreeLines expected = {"1 Loaded SoundFonts", "2 Simulated Synth 1", "2 Simulated Synth 2",
                          "1 Sound Files on disk", "2 " + AddFolderPrompt()};
    EXPECT_EQ(Lines(), expected);
    EXPECT_TRUE(IsExpanded(Find({"Loaded SoundFonts"})));
    EXPECT_TRUE(IsExpanded(Find({"Sound Files on disk"}))) << "the prompt is in sight";
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OCTAVE_EDIT)), "0");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_PREVIEW)), "Start &Preview");

    Close();
    EXPECT_EQ(ReadFile(IniPath()), kFirstRunIni);
}

TEST_F(MainWindowTest, SecondStartTakesWhatTheFirstLeft)
{
    Open();
    EditSettings([](HWND page) {
        TypeInto(page, IDC_FILE_BANK, "90");
        ChooseItem(page, IDC_SOUNDFONT_DEVICE, 1); // Simulated Synth 2
        SetCheck(page, IDC_ENABLE_PREVIEWING, false);
    });
    Close();

    Open();
    TreeLines expected = {"1 Loaded SoundFonts", "2 Simulated Synth 1", "1 Sound Files on disk",
                          "2 " + AddFolderPrompt()};
    EXPECT_EQ(Lines(), expected);
    // What the second start read, it writes back.
    Close();
    EXPECT_EQ(SavedValue("Preview", "LFMidiOutBank"), "90");
    EXPECT_EQ(SavedValue("Preview", "DevMapArray_SFDevName_1"), "Simulated Synth 2");
    EXPECT_EQ(SavedValue("Preview", "DevMapArray_Enable_1"), "False");
}

TEST_F(MainWindowTest, DeviceMapIsWrittenInNameOrderAndNeverReplacedByTheDefault)
{
    Sim().SetDeviceName(0, "B");
    Sim().SetDeviceName(1, "A");
    Open();
    Close();
    CProfile profile(IniPath(), false);
    std::vector<std::string> names;
    ASSERT_TRUE(profile.ReadStringArray("Preview", "DevMapArray_SFDevName", names));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));

    // Devices that vanished keep their entries; the default map is not applied over them.
    Sim().SetDeviceName(0, "C");
    Sim().SetDeviceName(1, "D");
    Open();
    Close();
    ASSERT_TRUE(profile.ReadStringArray("Preview", "DevMapArray_SFDevName", names));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "D"}));
}

TEST_F(MainWindowTest, HandEditedArraysOfDifferentLengthsAreReadWithinBounds)
{
    CProfile profile(IniPath(), false);
    profile.WriteStringArray("Preview", "DevMapArray_SFDevName", {"Simulated Synth 1", "Simulated Synth 2", "X"});
    profile.WriteStringArray("Preview", "DevMapArray_DevName", {"Out"});
    profile.WriteIntArray("Preview", "DevMapArray_Channel", {3, 4});
    profile.WriteBoolArray("Preview", "DevMapArray_Enable", {true});
    Open();
    Close();
    // Missing elements take the entry's defaults: no output, channel 0, enabled.
    std::vector<std::string> names, outputs;
    std::vector<int> channels;
    std::vector<bool> enabled;
    profile.ReadStringArray("Preview", "DevMapArray_SFDevName", names);
    profile.ReadStringArray("Preview", "DevMapArray_DevName", outputs);
    profile.ReadIntArray("Preview", "DevMapArray_Channel", channels);
    profile.ReadBoolArray("Preview", "DevMapArray_Enable", enabled);
    EXPECT_EQ(names, (std::vector<std::string>{"Simulated Synth 1", "Simulated Synth 2", "X"}));
    EXPECT_EQ(outputs, (std::vector<std::string>{"Out", "", ""}));
    EXPECT_EQ(channels, (std::vector<int>{3, 4, 0}));
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, true}));
}

TEST_F(MainWindowTest, StartUpFileIsLoadedIntoTheHighestFreeBankWithoutItsQuotes)
{
    // The start-up file text comes straight from the command line: Explorer quotes a path.
    std::string folder = WindowsPath("/usr/share/sounds/sf2/");
    Open("\"" + folder + "TimGM6mb.sf2\"");
    EXPECT_TRUE(m_boxes.Boxes().empty());
    // Bank 127 of device 0 is the preview bank by default, so the highest free one is 126.
    HTREEITEM bank = Find({"Loaded SoundFonts", "Simulated Synth 1", "126 - TimGM6mb1.sf2"});
    ASSERT_NE(bank, nullptr) << ::testing::PrintToString(Lines());
    EXPECT_TRUE(IsExpanded(bank));
    EXPECT_EQ(TreeView_GetSelection(Tree()), TreeView_GetChild(Tree(), bank));
}

TEST_F(MainWindowTest, FailedStartUpLoadIsReported)
{
    Open("Z:\\no\\such\\file.sf2");
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    EXPECT_EQ(m_boxes.Texts().at(0), "Error loading SoundFont (Pathname Invalid)");
    EXPECT_EQ(m_boxes.Boxes().at(0).owner, Window());
}

TEST_F(MainWindowTest, EndingSessionStopsPreviewingAndSavesOnceForGood)
{
    // Windows ends the program once WM_ENDSESSION has been answered: what is not written by
    // then is lost. A session that goes on (wParam FALSE) leaves saving to the exit.
    struct Case {
        const char* name;
        WPARAM ending;
        bool savedAtMessage; // whether the settings are in the file right after the message
    };
    const Case cases[] = {
        {"session ends", TRUE, true},
        {"session goes on", FALSE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A file that holds the bank alone shows whether anything else was written.
        DeleteFileA(IniPath().c_str());
        CProfile(IniPath(), false).WriteInt("Preview", "LFMidiOutBank", 64);
        VirtualMidi midi;
        midi.SetInputDevices({"Keys"});
        midi.SetOutputDevices({"Synth A"});
        Open();
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        ASSERT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Stop &Preview");
        midi.ClearRecords();

        SendMessageA(Window(), WM_ENDSESSION, c.ending, ENDSESSION_LOGOFF);
        EXPECT_EQ(SavedValue("Preview", "LFMidiOutInstrument"), c.savedAtMessage ? "127" : "(absent)");
        EXPECT_EQ(SavedValue("Preview", "LFMidiOutBank"), "64");
        // Previewing stopped: its ports are closed.
        EXPECT_EQ(midi.IsInputOpen(0), !c.ending);
        EXPECT_EQ(midi.IsOutputOpen(0), !c.ending);

        // What changes after the session has ended is not written over what was saved.
        EditSettings([](HWND page) { TypeInto(page, IDC_FILE_BANK, "65"); });
        Close();
        EXPECT_EQ(SavedValue("Preview", "LFMidiOutBank"), c.ending ? "64" : "65");
        EXPECT_TRUE(midi.Violations().empty()) << ::testing::PrintToString(midi.Violations());
    }
}
