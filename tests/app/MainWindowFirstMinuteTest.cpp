// The main window as a new user first meets it: the find box says what it is for, an empty
// "Sound Files on disk" offers to add a folder, and the first size shows the piano strip and
// a tree of some use on a 1024x768 screen.

#include "tests/app/MainWindowFixture.h"

#include "app/WindowFrame.h"
#include "base/resource.h"
#include "tests/support/FolderPickerWatcher.h"
#include "tests/engine/SoundFontFixture.h"

namespace {

class FirstMinuteTest : public MainWindowTest {
protected:
    HTREEITEM DiskRoot() { return Find({"Sound Files on disk"}); }
    HTREEITEM Prompt()
    {
        HTREEITEM item = TreeView_GetChild(Tree(), DiskRoot());
        return item && ItemText(item).rfind("Add a folder of SoundFonts", 0) == 0 ? item : nullptr;
    }
    std::string FreshListed()
    {
        const std::string folder = FreshFolder(std::string("first-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        return folder.substr(0, folder.size() - 1);
    }
};

} // namespace

TEST_F(FirstMinuteTest, TheFindBoxSaysWhatItIsForWhileEmpty)
{
    Open();
    wchar_t cue[64] = L"left over";
    // EM_GETCUEBANNER: the text shown while the box is empty.
    ASSERT_TRUE(SendMessageW(GetDlgItem(Window(), IDC_FIND_EDIT), 0x1502, reinterpret_cast<WPARAM>(cue), 64));
    EXPECT_STREQ(cue, L"Find a sound (Ctrl+F)");
}

TEST_F(FirstMinuteTest, AnEmptyDiskListOffersToAddAFolderByEnterOrDoubleClick)
{
    const struct {
        const char* how;
        bool enter;
    } cases[] = {{"Enter", true}, {"double-click", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const std::string listed = FreshListed();
        Open();
        ASSERT_TRUE(IsExpanded(DiskRoot()));
        HTREEITEM prompt = Prompt();
        ASSERT_NE(prompt, nullptr) << ::testing::PrintToString(Lines());
        EXPECT_EQ(ChildTexts(DiskRoot()).size(), 1u);
        EXPECT_FALSE(HasButton(prompt));
        {
            FolderPickerWatcher picker(listed);
            if (c.enter) {
                TreeView_SelectItem(Tree(), prompt);
                OnUi([&] { SetFocus(Tree()); });
                SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            } else {
                PointAt(prompt);
                NotifyTree(NM_DBLCLK);
            }
            ASSERT_TRUE(picker.WaitForCount(1));
            EXPECT_EQ(picker.Pickers()[0].title, "Select folder with SoundFonts");
        }
        EXPECT_EQ(ChildTexts(DiskRoot()), std::vector<std::string>{listed}) << "the prompt gives way to the folder";
        Close();
        // The next start lists the folder, without the prompt.
        Open();
        EXPECT_EQ(ChildTexts(DiskRoot()), std::vector<std::string>{listed});
        Close();
        ::DeleteFileA(IniPath().c_str());
    }
}

TEST_F(FirstMinuteTest, TheFirstSizeShowsTheStripAndAUsefulTreeOnA1024By768Screen)
{
    Open();
    RECT outer = {};
    GetWindowRect(Window(), &outer);
    EXPECT_LE(outer.right - outer.left, 1024);
    EXPECT_LE(outer.bottom - outer.top, 768 - 40) << "room left for a taskbar";

    RECT client = {};
    GetClientRect(Window(), &client);
    HWND strip = GetDlgItem(Window(), IDC_PIANO_STRIP);
    ASSERT_TRUE(IsWindowVisible(strip));
    const RECT stripRect = ChildRect(Window(), strip);
    EXPECT_EQ(stripRect.right - stripRect.left, client.right - 2 * stripRect.left) << "as wide as the window";
    EXPECT_GE(stripRect.bottom - stripRect.top, 40);
    const RECT tree = ChildRect(Window(), Tree());
    EXPECT_GE(tree.top, stripRect.bottom);
    const int rows = (tree.bottom - tree.top) / TreeView_GetItemHeight(Tree());
    EXPECT_GE(rows, 18) << "tree rows in sight";
    EXPECT_GE(tree.right - tree.left, 300);

    // The strip grows with the window.
    SetWindowPos(Window(), nullptr, 0, 0, outer.right - outer.left + 200, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    const RECT wider = ChildRect(Window(), strip);
    EXPECT_EQ(wider.right - wider.left, stripRect.right - stripRect.left + 200);
}
