// The sound tree's branches in the real main window: listed when first opened, and kept open,
// with the selection, across every rebuild; the card's banks asked for again only where a
// command changed them.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "engine/SfmInterface.h"
#include "base/WideText.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/MenuWatcher.h"

#include <functional>

namespace {

const char kDevice1[] = "Simulated Synth 1";
const char kDisk[] = "Sound Files on disk";
const char kLoaded[] = "Loaded SoundFonts";

class TreePlaceTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_folder = FreshFolder(std::string("place-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        FixtureSoundFont soundFont;
        soundFont.name = "Small";
        soundFont.presets = {{"Grand", 0, 0, 16}, {"Brass", 0, 61, 16}};
        CreateDirectoryA((m_folder + "Sub").c_str(), nullptr);
        CreateDirectoryA((m_folder + "Sub\\Deeper").c_str(), nullptr);
        WriteSoundFont(m_folder + "top.sf2", soundFont);
        WriteSoundFont(m_folder + "Sub\\Deeper\\deep.sf2", soundFont);
        WriteBytes(m_folder + "Sub\\tone.wav", WaveBytes(64));
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    }

    std::vector<std::string> DeepFile() const { return {kDisk, m_listed, "Sub", "Deeper", "deep.sf2"}; }
    std::vector<std::string> DeepPreset() const
    {
        std::vector<std::string> path = DeepFile();
        path.push_back("000-061 Brass");
        return path;
    }
    void Refresh() { SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0); }
    LRESULT DoubleClick(HTREEITEM item)
    {
        PointAt(item);
        return NotifyTree(NM_DBLCLK);
    }
    // "Delete" on the bank's menu.
    void DeleteFromMenu(HTREEITEM bank)
    {
        ASSERT_NE(bank, nullptr) << ::testing::PrintToString(Lines());
        PointAt(bank);
        MenuWatcher menu("Delete");
        NotifyTree(NM_RCLICK);
    }
    // The folder Sub, dropped onto "Sound Files on disk", is listed after the first.
    void AddFolderByDrop() { DropOnto({WidenUtf8(m_folder + "Sub")}, Find({kDisk})); }
    // The path of texts from the top to the selected item.
    std::vector<std::string> SelectedPath() const
    {
        std::vector<std::string> path;
        for (HTREEITEM item = TreeView_GetSelection(Tree()); item; item = TreeView_GetParent(Tree(), item))
            path.insert(path.begin(), ItemText(item));
        return path;
    }

    std::string m_folder;
    std::string m_listed;
};

} // namespace

TEST_F(TreePlaceTest, StartShowsTheTopLevelsAndABranchIsListedWhenFirstOpened)
{
    LoadBank(0, 4, m_folder + "top.sf2");
    Open();
    // The roots, the two devices and the listed folder: nothing below closed branches.
    EXPECT_EQ(TreeView_GetCount(Tree()), 5u);
    HTREEITEM listed = Find({kDisk, m_listed});
    EXPECT_TRUE(HasButton(listed));
    EXPECT_EQ(TreeView_GetChild(Tree(), listed), nullptr);

    // The tree draws nothing while a branch opens, and draws again once it is open.
    const auto drawing = [this] { return (GetWindowLongW(Tree(), GWL_STYLE) & WS_VISIBLE) != 0; };
    ASSERT_NE(OpenPath({kDisk, m_listed}), nullptr);
    EXPECT_TRUE(IsExpanded(listed));
    EXPECT_TRUE(drawing());
    const std::vector<std::string> children = ChildTexts(listed);
    EXPECT_EQ(children, (std::vector<std::string>{"top.sf2", "Sub"}));
    EXPECT_EQ(TreeView_GetChild(Tree(), Find({kDisk, m_listed, "Sub"})), nullptr) << "Sub was not opened";

    // Closing keeps the children; opening again lists nothing twice.
    TreeView_Expand(Tree(), listed, TVE_COLLAPSE);
    EXPECT_FALSE(IsExpanded(listed));
    EXPECT_EQ(ChildTexts(listed), children);
    TreeView_Expand(Tree(), listed, TVE_EXPAND);
    EXPECT_TRUE(IsExpanded(listed));
    EXPECT_TRUE(drawing());
    EXPECT_EQ(ChildTexts(listed), children);

    ASSERT_NE(OpenPath({kLoaded, kDevice1, "004 - Small"}), nullptr);
    EXPECT_EQ(ChildTexts(Find({kLoaded, kDevice1, "004 - Small"})),
              (std::vector<std::string>{"000 Grand", "061 Brass"}));
    // A device without banks loses its button once opened.
    HTREEITEM empty = OpenPath({kLoaded, "Simulated Synth 2"});
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(HasButton(empty));
    EXPECT_TRUE(drawing());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(TreePlaceTest, DrawingHeldForABranchThatIsNeverOpenedResumesOnItsOwn)
{
    Open();
    HTREEITEM listed = OpenPath({kDisk, m_listed});
    ASSERT_NE(TreeView_GetChild(Tree(), listed), nullptr);
    TreeView_Expand(Tree(), listed, TVE_COLLAPSE);
    const auto drawing = [this] { return (GetWindowLongW(Tree(), GWL_STYLE) & WS_VISIBLE) != 0; };
    bool heldMeanwhile = false;
    OnUi([&] {
        // The notice that a branch with children opens, and then no opening: a control that
        // changes its mind, or one that says nothing once the branch is open.
        NMTREEVIEWW notice = {};
        notice.hdr.hwndFrom = Tree();
        notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Tree()));
        notice.hdr.code = TVN_ITEMEXPANDINGW;
        notice.action = TVE_EXPAND;
        notice.itemNew.hItem = listed;
        SendMessageW(Window(), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
        heldMeanwhile = !drawing();
    });
    EXPECT_TRUE(heldMeanwhile);
    for (int wait = 0; wait < 100 && !drawing(); ++wait)
        Sleep(20);
    EXPECT_TRUE(drawing());
}

// Every command that rebuilds the tree gives back the open branches and the selection.
TEST_F(TreePlaceTest, RebuildsKeepTheOpenBranchesAndTheSelection)
{
    struct Case {
        const char* name;
        std::function<void()> run;
        bool keepsSelection; // false: the command selected an item that is gone after it
    };
    const Case cases[] = {
        {"Refresh button", [&] { Refresh(); }, true},
        {"F5",
         [&] {
             NMTVKEYDOWN down = {{Tree(), IDC_SOUND_TREE, static_cast<UINT>(TVN_KEYDOWN)}, VK_F5, 0};
             SendMessageA(Window(), WM_NOTIFY, IDC_SOUND_TREE, reinterpret_cast<LPARAM>(&down));
         },
         true},
        // The menu selects the bank it deletes: that selection goes with the bank.
        {"delete of another bank", [&] { DeleteFromMenu(Find({kLoaded, kDevice1, "007 - Small"})); }, false},
        {"folder added", [&] { AddFolderByDrop(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadBank(0, 4, m_folder + "top.sf2");
        LoadBank(0, 7, m_folder + "top.sf2");
        Open();
        ASSERT_NE(OpenPath({kLoaded, kDevice1, "004 - Small"}), nullptr);
        ASSERT_NE(OpenPath(DeepFile()), nullptr);
        HTREEITEM preset = Find(DeepPreset());
        ASSERT_NE(preset, nullptr);
        TreeView_SelectItem(Tree(), preset);
        const std::vector<std::string> open = OpenBranches();
        ASSERT_EQ(open.size(), 8u) << ::testing::PrintToString(open);

        c.run();
        EXPECT_EQ(OpenBranches(), open);
        EXPECT_EQ(SelectedPath(), c.keepsSelection ? DeepPreset() : std::vector<std::string>());
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        Close();
        DeleteFileA(IniPath().c_str());
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
        Sim().Reset();
    }
}

TEST_F(TreePlaceTest, BranchesThatNoLongerExistAreLeftOutAndTheRestReopened)
{
    LoadBank(0, 4, m_folder + "top.sf2");
    Open();
    ASSERT_NE(OpenPath({kLoaded, kDevice1, "004 - Small"}), nullptr);
    ASSERT_NE(OpenPath(DeepFile()), nullptr);
    TreeView_SelectItem(Tree(), Find(DeepPreset()));
    const std::string deeper = m_folder + "Sub\\Deeper";
    ASSERT_TRUE(DeleteFileA((deeper + "\\deep.sf2").c_str()));
    ASSERT_TRUE(RemoveDirectoryA(deeper.c_str()));

    Refresh();
    EXPECT_EQ(OpenBranches(), (std::vector<std::string>{kLoaded, std::string(kLoaded) + "/" + kDevice1,
                                                        std::string(kLoaded) + "/" + kDevice1 + "/004 - Small",
                                                        kDisk, std::string(kDisk) + "/" + m_listed,
                                                        std::string(kDisk) + "/" + m_listed + "/Sub"}));
    EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);
    EXPECT_EQ(ChildTexts(Find({kDisk, m_listed, "Sub"})), std::vector<std::string>{"tone.wav"});
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(TreePlaceTest, LoadWhileADeepBranchIsOpenShowsTheNewBankAndKeepsTheBranch)
{
    Open();
    ASSERT_NE(OpenPath(DeepFile()), nullptr);
    TreeView_SelectItem(Tree(), Find(DeepPreset()));
    EXPECT_EQ(DoubleClick(Find(DeepFile())), 1);

    // The loaded bank is shown open with its first preset selected, as after every load.
    HTREEITEM bank = Find({kLoaded, kDevice1, "126 - Small"});
    ASSERT_NE(bank, nullptr) << ::testing::PrintToString(Lines());
    EXPECT_TRUE(IsExpanded(Find({kLoaded, kDevice1})));
    EXPECT_TRUE(IsExpanded(bank));
    EXPECT_EQ(SelectedPath(), (std::vector<std::string>{kLoaded, kDevice1, "126 - Small", "000 Grand"}));
    const std::vector<std::string> file = DeepFile();
    for (std::size_t depth = 1; depth <= file.size(); ++depth) {
        const std::vector<std::string> above(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(depth));
        EXPECT_TRUE(IsExpanded(Find(above))) << ::testing::PrintToString(above);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

// What the card reported is asked for again only for the banks a command changed, and for
// everything when the user asks for a refresh.
TEST_F(TreePlaceTest, BanksAreAskedForAgainOnlyWhereSomethingChanged)
{
    for (int bank = 1; bank <= 5; ++bank)
        LoadBank(0, bank, m_folder + "top.sf2");
    Open();
    ASSERT_NE(OpenPath({kLoaded, kDevice1}), nullptr);
    ASSERT_EQ(ChildTexts(Find({kLoaded, kDevice1})).size(), 5u);

    struct Case {
        const char* name;
        std::function<void()> run;
        std::uint32_t bankNamesAsked;
        std::size_t banksShown;
    };
    const Case cases[] = {
        {"load into one bank", [&] { DoubleClick(Find({kDisk, m_listed, "top.sf2"})); }, 1, 6},
        {"delete of one bank", [&] { DeleteFromMenu(Find({kLoaded, kDevice1, "002 - Small"})); }, 0, 5},
        {"folder added", [&] { AddFolderByDrop(); }, 0, 5},
        {"Refresh button", [&] { Refresh(); }, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint32_t before = Sim().CallCount(SfmSlot::BankName);
        c.run();
        EXPECT_EQ(Sim().CallCount(SfmSlot::BankName) - before, c.bankNamesAsked);
        EXPECT_EQ(ChildTexts(Find({kLoaded, kDevice1})).size(), c.banksShown);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}
