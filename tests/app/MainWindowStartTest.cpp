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

// What an empty "Sound Files on disk" holds, as the tree gives it in the ANSI code page.
std::string AddFolderPrompt()
{
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, L"Add a folder of SoundFonts\u2026", -1, text, sizeof text, nullptr, nullptr);
    return text;
}

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
    Dialog().m_settings.model.preview.fileBank = 90;
    Dialog().m_settings.model.preview.deviceMap.EntryFor("Simulated Synth 2").enabled = false;
    Close();

    Open();
    EXPECT_EQ(Dialog().m_settings.model.preview.fileBank, 90);
    EXPECT_FALSE(Dialog().m_settings.model.preview.deviceMap.EntryFor("Simulated Synth 2").enabled);
    TreeLines expected = {"1 Loaded SoundFonts", "2 Simulated Synth 1", "1 Sound Files on disk",
                          "2 " + AddFolderPrompt()};
    EXPECT_EQ(Lines(), expected);
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
    CDeviceMap& map = Dialog().m_settings.model.preview.deviceMap;
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(map.EntryFor("Simulated Synth 1").outDevName, "Out");
    EXPECT_EQ(map.EntryFor("Simulated Synth 1").channel, 3);
    EXPECT_EQ(map.EntryFor("Simulated Synth 2").channel, 4);
    EXPECT_EQ(map.EntryFor("X").outDevName, "");
    EXPECT_EQ(map.EntryFor("X").channel, 0);
    EXPECT_TRUE(map.EntryFor("X").enabled);
}

TEST_F(MainWindowTest, StartUpFileIsLoadedIntoTheHighestFreeBankWithoutItsQuotes)
{
    // The start-up file text comes straight from the command line: Explorer quotes a path.
    std::string folder = WindowsPath("/usr/share/sounds/sf2/");
    Open("\"" + folder + "TimGM6mb.sf2\"");
    ASSERT_EQ(Dialog().m_startupFile, "\"" + folder + "TimGM6mb.sf2\"");
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
        const char* savedAtMessage; // the bank number in the file right after the message
    };
    const Case cases[] = {
        {"session ends", TRUE, "64"},
        {"session goes on", FALSE, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(IniPath().c_str());
        VirtualMidi midi;
        midi.SetInputDevices({"Keys"});
        midi.SetOutputDevices({"Synth A"});
        Open();
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        ASSERT_TRUE(Dialog().m_preview.IsPreviewing());
        Dialog().m_settings.model.preview.fileBank = 64;
        midi.ClearRecords();

        SendMessageA(Window(), WM_ENDSESSION, c.ending, ENDSESSION_LOGOFF);
        CProfile profile(IniPath(), false);
        std::string bank;
        profile.ReadString("Preview", "LFMidiOutBank", bank);
        EXPECT_EQ(bank, c.savedAtMessage ? c.savedAtMessage : "");
        EXPECT_EQ(Dialog().m_preview.IsPreviewing(), !c.ending);
        EXPECT_EQ(midi.IsInputOpen(0), !c.ending);
        EXPECT_EQ(midi.IsOutputOpen(0), !c.ending);

        // What changes after the session has ended is not written over what was saved.
        Dialog().m_settings.model.preview.fileBank = 65;
        Close();
        profile.ReadString("Preview", "LFMidiOutBank", bank);
        EXPECT_EQ(bank, c.ending ? "64" : "65");
        EXPECT_TRUE(midi.Violations().empty()) << ::testing::PrintToString(midi.Violations());
    }
}
