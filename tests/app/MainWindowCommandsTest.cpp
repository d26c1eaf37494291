// The sound tree's commands in the real main window: context menus, double-click, the Delete
// key, loads into banks, deleting and clearing, adding and removing folders.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "engine/SfmInterface.h"
#include "settings/Profile.h"
#include "tests/engine/SimAccess.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/FolderPickerWatcher.h"
#include "tests/support/MenuWatcher.h"

#include <dlgs.h>

#include <algorithm>
#include <memory>

namespace {

const char kDevice1[] = "Simulated Synth 1";
const char kDevice2[] = "Simulated Synth 2";

class CommandsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_folder = FreshFolder(std::string("commands-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        FixtureSoundFont soundFont;
        soundFont.name = "Small";
        soundFont.presets = {{"Grand", 0, 0, 16}, {"Brass", 0, 61, 16}};
        WriteSoundFont(m_folder + "small.sf2", soundFont);
        WriteBytes(m_folder + "tone.wav", WaveBytes(64));
    }

    void ListTheFolder(int times = 1)
    {
        CProfile(IniPath(), false)
            .WriteStringArray("Folders", "LocalSoundFonts", std::vector<std::string>(times, m_listed));
    }

    // Right-clicks `item` (null: empty space) and answers the menu with `choice`.
    std::vector<std::string> RightClick(HTREEITEM item, const std::string& choice = std::string())
    {
        PointAt(item);
        MenuWatcher menu(choice);
        NotifyTree(NM_RCLICK);
        return menu.Entries();
    }

    LRESULT DoubleClick(HTREEITEM item)
    {
        PointAt(item);
        return NotifyTree(NM_DBLCLK);
    }

    void PressKey(WORD key)
    {
        NMTVKEYDOWN down = {{Tree(), IDC_SOUND_TREE, static_cast<UINT>(TVN_KEYDOWN)}, key, 0};
        SendMessageA(Window(), WM_NOTIFY, IDC_SOUND_TREE, reinterpret_cast<LPARAM>(&down));
    }

    // "Load SoundFont" on the device's menu, with `path` typed into the file dialog.
    void LoadFromMenu(const char* device, const std::string& path)
    {
        DialogWatcher files("Select a SoundFont File", [&](HWND dialog) {
            HWND name = GetDlgItem(dialog, cmb13); // the file name box
            HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr);
            SetWindowTextA(edit ? edit : name, path.c_str());
            PressButton(dialog, IDOK);
        });
        RightClick(Find({"Loaded SoundFonts", device}), "Load SoundFont");
        EXPECT_TRUE(files.Answered());
    }

    std::vector<std::string> Banks(const char* device) { return ChildTexts(Find({"Loaded SoundFonts", device})); }
    std::string MeterText() const { return WindowText(GetDlgItem(Window(), IDC_MEMORY_TEXT)); }
    bool MeterEnabled() const { return IsWindowEnabled(GetDlgItem(Window(), IDC_MEMORY_TEXT)) != FALSE; }

    std::string m_folder;
    std::string m_listed;
};

} // namespace

TEST_F(CommandsTest, MenusFollowTheKindOfTheItemUnderTheMouse)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    ListTheFolder();
    Open();
    struct Case {
        std::vector<std::string> path;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {{"Loaded SoundFonts"}, {}},
        {{"Loaded SoundFonts", kDevice1}, {"Load SoundFont", "Load SoundFont into Bank", "Clear all loaded SoundFonts"}},
        {{"Loaded SoundFonts", kDevice1, "004 - Small"}, {"Delete"}},
        {{"Loaded SoundFonts", kDevice1, "004 - Small", "000 Grand"}, {}},
        {{"Sound Files on disk"}, {"Add Folder"}},
        {{"Sound Files on disk", m_listed}, {"Remove"}},
        {{"Sound Files on disk", m_listed, "small.sf2"}, {"Load", "Load into Bank"}},
        {{"Sound Files on disk", m_listed, "small.sf2", "000-000 Grand"}, {}},
        {{"Sound Files on disk", m_listed, "tone.wav"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.back());
        HTREEITEM item = Find(c.path);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(RightClick(item), c.entries);
        EXPECT_EQ(TreeView_GetSelection(Tree()), item);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(CommandsTest, RightClickUpdatesTheMeterEvenWithoutAMenu)
{
    LoadBank(1, 4, m_folder + "small.sf2");
    ListTheFolder();
    Open();
    RightClick(Find({"Loaded SoundFonts", kDevice2, "004 - Small", "061 Brass"}));
    EXPECT_TRUE(MeterEnabled());
    EXPECT_NE(MeterText().find("MB Free"), std::string::npos) << MeterText();

    RightClick(Find({"Sound Files on disk", m_listed, "tone.wav"}));
    EXPECT_FALSE(MeterEnabled());
    EXPECT_EQ(MeterText(), "");

    RightClick(nullptr);
    EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);

    // A device whose memory can't be read shows the empty amount.
    Sim().FailSlot(SfmSlot::MemoryStatus, 202);
    RightClick(Find({"Loaded SoundFonts", kDevice2}));
    EXPECT_TRUE(MeterEnabled());
    EXPECT_EQ(MeterText(), "0 MB Free");
    EXPECT_EQ(SendMessageA(GetDlgItem(Window(), IDC_MEMORY_BAR), PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(Sim().OpenCount(1), 0u);
}

TEST_F(CommandsTest, LoadChoosesTheHighestFreeBankSparingThePreviewBank)
{
    struct Case {
        const char* name;
        int device;
        std::vector<int> emptyBanks; // every other bank holds a SoundFont; empty: all full
        const char* expected;
    };
    const Case cases[] = {
        {"banks 3 and 9 free", 0, {3, 9}, "009 - Fresh"},
        {"device 0 full: 127 is the preview bank", 0, {}, "126 - Fresh"},
        {"device 1 full", 1, {}, "127 - Fresh"},
    };
    FixtureSoundFont fresh;
    fresh.name = "Fresh";
    fresh.presets = {{"Organ", 0, 16, 16}};
    WriteSoundFont(m_folder + "fresh.sf2", fresh);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sim().Reset();
        for (int bank = 1; bank <= 127; ++bank) {
            if (std::find(c.emptyBanks.begin(), c.emptyBanks.end(), bank) == c.emptyBanks.end())
                LoadBank(c.device, bank, m_folder + "small.sf2");
        }
        Open();
        LoadFromMenu(c.device == 0 ? kDevice1 : kDevice2, m_folder + "fresh.sf2");
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        const std::vector<std::string> banks = Banks(c.device == 0 ? kDevice1 : kDevice2);
        EXPECT_NE(std::find(banks.begin(), banks.end(), c.expected), banks.end()) << ::testing::PrintToString(banks);
        Close();
    }
}

TEST_F(CommandsTest, LoadFromTheFileDialogShowsTheNewBankAndRemembersTheFolder)
{
    Open();
    LoadFromMenu(kDevice2, m_folder + "small.sf2");
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());

    HTREEITEM bank = Find({"Loaded SoundFonts", kDevice2, "127 - Small"});
    ASSERT_NE(bank, nullptr) << ::testing::PrintToString(Lines());
    EXPECT_TRUE(IsExpanded(Find({"Loaded SoundFonts"})));
    EXPECT_TRUE(IsExpanded(Find({"Loaded SoundFonts", kDevice2})));
    EXPECT_TRUE(IsExpanded(bank));
    EXPECT_EQ(TreeView_GetSelection(Tree()), TreeView_GetChild(Tree(), bank));
    EXPECT_NE(MeterText().find("MB Free"), std::string::npos);
    Close();
    EXPECT_EQ(SavedValue("General", "LastOpenDir"), m_folder);
}

TEST_F(CommandsTest, CancelledFileDialogChangesNothing)
{
    CProfile(IniPath(), false).WriteText("General", "LastOpenDir", "C:\\Before\\");
    Open();
    TreeLines before = Lines();
    DialogWatcher files("Select a SoundFont File", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    RightClick(Find({"Loaded SoundFonts", kDevice1}), "Load SoundFont");
    EXPECT_TRUE(files.Answered());
    EXPECT_EQ(Lines(), before);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    Close();
    EXPECT_EQ(SavedValue("General", "LastOpenDir"), "C:\\Before\\");
}

TEST_F(CommandsTest, CancelledDestinationChangesNothing)
{
    ListTheFolder();
    Open();
    TreeLines before = Lines();
    DialogWatcher destination("Select destination for Sound File", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    RightClick(Find({"Sound Files on disk", m_listed, "small.sf2"}), "Load into Bank");
    EXPECT_TRUE(destination.Answered());
    EXPECT_EQ(Lines(), before);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(CommandsTest, CancelledFolderPickerChangesNothing)
{
    ListTheFolder();
    Open();
    TreeLines before = Lines();
    FolderPickerWatcher picker;
    RightClick(Find({"Sound Files on disk"}), "Add Folder");
    EXPECT_TRUE(picker.WaitForCount(1));
    EXPECT_EQ(Lines(), before);
    Close();
    EXPECT_EQ(SavedFolders(), std::vector<std::string>{m_listed});
}

TEST_F(CommandsTest, LoadIntoBankTakesTheDestinationChosen)
{
    ListTheFolder();
    Open();
    DialogWatcher destination("Select destination for Sound File", [](HWND dialog) {
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, 1006), CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(WindowText(GetDlgItem(dialog, 1029)), "126");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1030)));
        SendMessageA(GetDlgItem(dialog, 1006), CB_SETCURSEL, 1, 0);
        SetWindowTextA(GetDlgItem(dialog, 1029), "40");
        PressButton(dialog, IDOK);
    });
    RightClick(Find({"Sound Files on disk", m_listed, "small.sf2"}), "Load into Bank");
    EXPECT_TRUE(destination.Answered());
    EXPECT_NE(Find({"Loaded SoundFonts", kDevice2, "040 - Small"}), nullptr) << ::testing::PrintToString(Lines());
    EXPECT_TRUE(Banks(kDevice1).empty());
}

TEST_F(CommandsTest, AfterALoadIntoAnotherDeviceTheMeterShowsThatDevice)
{
    ListTheFolder();
    // Devices of different sizes show different meters.
    ASSERT_EQ(Sim().SetDeviceMemory(0, 4u << 20), 0);
    ASSERT_EQ(Sim().SetDeviceMemory(1, 16u << 20), 0);
    const struct {
        const char* name;
        std::vector<std::string> item;
        const char* command;
        bool asksForFile;
    } cases[] = {
        {"a device", {"Loaded SoundFonts", kDevice1}, "Load SoundFont into Bank", true},
        {"a file on disk", {"Sound Files on disk", m_listed, "small.sf2"}, "Load into Bank", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        std::unique_ptr<DialogWatcher> files;
        if (c.asksForFile) {
            files = std::make_unique<DialogWatcher>("Select a SoundFont File", [&](HWND dialog) {
                HWND name = GetDlgItem(dialog, cmb13); // the file name box
                HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr);
                SetWindowTextA(edit ? edit : name, (m_folder + "small.sf2").c_str());
                PressButton(dialog, IDOK);
            });
        }
        DialogWatcher destination("Select destination for Sound File", [](HWND dialog) {
            SendMessageA(GetDlgItem(dialog, 1006), CB_SETCURSEL, 1, 0);
            PressButton(dialog, IDOK);
        });
        RightClick(Find(c.item), c.command);
        EXPECT_TRUE(destination.Answered());
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        const std::string shown = MeterText();

        TreeView_SelectItem(Tree(), Find({"Loaded SoundFonts", kDevice2}));
        EXPECT_EQ(shown, MeterText());
        TreeView_SelectItem(Tree(), Find({"Loaded SoundFonts", kDevice1}));
        EXPECT_NE(shown, MeterText());
        Close();
    }
}

TEST_F(CommandsTest, DoubleClickLoadsAFileAndNeverExpands)
{
    ListTheFolder();
    Open();
    HTREEITEM root = Find({"Sound Files on disk"});
    EXPECT_EQ(DoubleClick(root), 1);
    EXPECT_FALSE(IsExpanded(root));
    EXPECT_EQ(DoubleClick(nullptr), 0);

    EXPECT_EQ(DoubleClick(Find({"Sound Files on disk", m_listed, "small.sf2"})), 1);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_EQ(Banks(kDevice1), std::vector<std::string>{"126 - Small"});
}

TEST_F(CommandsTest, DoubleClickOfABrokenFileSaysWhy)
{
    WriteBytes(m_folder + "broken.sf2", "RIFF");
    ListTheFolder();
    Open();
    DoubleClick(Find({"Sound Files on disk", m_listed, "broken.sf2"}));
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    EXPECT_EQ(m_boxes.Texts().at(0), "broken.sf2 can't be loaded. Not a SoundFont.");
    EXPECT_TRUE(Banks(kDevice1).empty());
    EXPECT_EQ(Sim().CallCount(static_cast<int>(SfmSlot::LoadBank)), 0u);
}

TEST_F(CommandsTest, DeleteAndClearEmptyBanksButNeverBankZero)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    LoadBank(0, 7, m_folder + "small.sf2");
    LoadBank(1, 2, m_folder + "small.sf2");
    Open();
    RightClick(Find({"Loaded SoundFonts", kDevice1, "004 - Small"}), "Delete");
    EXPECT_EQ(Banks(kDevice1), std::vector<std::string>{"007 - Small"});
    EXPECT_TRUE(IsExpanded(Find({"Loaded SoundFonts", kDevice1})));

    RightClick(Find({"Loaded SoundFonts", kDevice2}));
    std::string meter = MeterText();
    RightClick(Find({"Loaded SoundFonts", kDevice2}), "Clear all loaded SoundFonts");
    EXPECT_TRUE(Banks(kDevice2).empty());
    EXPECT_EQ(MeterText(), meter) << "the meter keeps what it showed";
    CSoundFontManager manager;
    ASSERT_TRUE(manager.Initialize().Ok());
    CSfmDevice device = manager.Open(1);
    ASSERT_TRUE(device.IsOpen());
    EXPECT_TRUE(device.IsBankLoaded(0));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(CommandsTest, EngineFailuresAreReportedAndLeaveTheTree)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    TreeLines before = Lines();
    Sim().FailSlot(SfmSlot::ClearBank, 202);
    RightClick(Find({"Loaded SoundFonts", kDevice1, "004 - Small"}), "Delete");
    RightClick(Find({"Loaded SoundFonts", kDevice1}), "Clear all loaded SoundFonts");
    Sim().FailSlot(SfmSlot::ClearBank, 0);
    Sim().FailSlot(SfmSlot::OpenDevice, 202);
    RightClick(Find({"Loaded SoundFonts", kDevice1}), "Clear all loaded SoundFonts");
    Sim().FailSlot(SfmSlot::OpenDevice, 0);
    ASSERT_TRUE(m_boxes.WaitForCount(3));
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{"Error seleting SoundFont (Device Busy)",
                                                          "Error clearing SoundFonts (Device Busy)",
                                                          "Error opening SoundFont device (Device Busy)"}));
    for (const SeenMessageBox& box : m_boxes.Boxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.owner, Window());
    }
    EXPECT_EQ(Lines(), before);
}

TEST_F(CommandsTest, DeleteKeyEmptiesABankAndIgnoresEverythingElse)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    TreeView_SelectItem(Tree(), Find({"Loaded SoundFonts", kDevice1, "004 - Small", "000 Grand"}));
    PressKey(VK_DELETE);
    EXPECT_EQ(Banks(kDevice1), std::vector<std::string>{"004 - Small"});
    TreeView_SelectItem(Tree(), Find({"Loaded SoundFonts", kDevice1, "004 - Small"}));
    PressKey('A');
    EXPECT_EQ(Banks(kDevice1), std::vector<std::string>{"004 - Small"});
    PressKey(VK_DELETE);
    EXPECT_TRUE(Banks(kDevice1).empty());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(CommandsTest, FoldersAreAddedAtTheEndAndRemovedWithEveryCopy)
{
    ListTheFolder(2);
    std::string other = FreshFolder("commands-other");
    other.pop_back();
    Open();
    {
        FolderPickerWatcher picker(other);
        RightClick(Find({"Sound Files on disk"}), "Add Folder");
        ASSERT_TRUE(picker.WaitForCount(1));
        ASSERT_EQ(picker.Pickers().at(0).title, "Select folder with SoundFonts");
    }
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk"})), (std::vector<std::string>{m_listed, m_listed, other}));

    RightClick(Find({"Sound Files on disk", m_listed}), "Remove");
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk"})), std::vector<std::string>{other});
    Close();
    std::vector<std::string> saved;
    CProfile(IniPath(), false).ReadStringArray("Folders", "LocalSoundFonts", saved);
    EXPECT_EQ(saved, std::vector<std::string>{other});
}
