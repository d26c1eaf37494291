#include "base/resource.h"
#include "tests/app/MainWindowFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

RECT ClientOf(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

RECT OuterOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

RECT ChildInClient(HWND parent, int id)
{
    RECT rect = OuterOf(GetDlgItem(parent, id));
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Resizes the window so that its client area is `width` wide, keeping the height.
void SetClientWidth(HWND window, int width)
{
    RECT outer = OuterOf(window);
    RECT client = ClientOf(window);
    int frame = (outer.right - outer.left) - client.right;
    SetWindowPos(window, nullptr, 0, 0, width + frame, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

using BrowserFrame = MainWindowTest;

} // namespace

TEST_F(BrowserFrame, OpensCollapsedAtHalfTheTemplateWidth)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);

    RECT templateSize = {0, 0, 371, 260};
    MapDialogRect(window, &templateSize);
    RECT outer = OuterOf(window);
    EXPECT_EQ(outer.right - outer.left, templateSize.right / 2);
    EXPECT_EQ(outer.bottom - outer.top, templateSize.bottom);

    RECT client = ClientOf(window);
    RECT tree = ChildInClient(window, IDC_SOUND_TREE);
    EXPECT_EQ(tree.right, client.right);
    EXPECT_EQ(tree.bottom, client.bottom);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_PRESET_LIST)));
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OCTAVE_EDIT)), "0");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_EXPAND)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDOK)));

    HIMAGELIST images = TreeView_GetImageList(GetDlgItem(window, IDC_SOUND_TREE), TVSIL_NORMAL);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 9);
    EXPECT_EQ(Dialog().m_images.folderOpenImage, 0);
    EXPECT_EQ(Dialog().m_images.deviceImage, 6);
    EXPECT_EQ(Dialog().m_images.damagedImage, 7);
    EXPECT_EQ(Dialog().m_images.softDeviceImage, 8);

    LVCOLUMNA column = {};
    char title[32] = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    ASSERT_TRUE(SendMessageA(GetDlgItem(window, IDC_PRESET_LIST), LVM_GETCOLUMNA, 0,
                             reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, "Kolonne");
    EXPECT_EQ(column.cx, 100);
}

TEST_F(BrowserFrame, LayoutFollowsTheClientAreaInBothForms)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);

    for (int width : {300, 301, 457, 640}) {
        SCOPED_TRACE("client width " + std::to_string(width));
        SetClientWidth(window, width);
        RECT client = ClientOf(window);
        ASSERT_EQ(client.right, width);
        EXPECT_EQ(ChildInClient(window, IDC_EXPAND).left, width - 23);
        RECT tree = ChildInClient(window, IDC_SOUND_TREE);
        EXPECT_EQ(tree.right, width);
        EXPECT_EQ(tree.bottom, client.bottom);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_PRESET_LIST)));
    }

    // Expanded: the tree takes the left half, the list the integer half on the right, and an
    // odd width leaves the last pixel column free.
    SetClientWidth(window, 301);
    RECT before = OuterOf(window);
    SendMessageA(window, WM_COMMAND, IDC_EXPAND, 0);
    RECT after = OuterOf(window);
    EXPECT_EQ(after.right - after.left, 2 * (before.right - before.left));
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_EXPAND)), "<<");
    EXPECT_TRUE(Dialog().m_expanded);
    for (int width : {601, 640}) {
        SCOPED_TRACE("expanded client width " + std::to_string(width));
        SetClientWidth(window, width);
        RECT client = ClientOf(window);
        RECT tree = ChildInClient(window, IDC_SOUND_TREE);
        RECT list = ChildInClient(window, IDC_PRESET_LIST);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_PRESET_LIST)));
        EXPECT_EQ(tree.right, width / 2);
        EXPECT_EQ(list.left, width / 2);
        EXPECT_EQ(list.right - list.left, width / 2);
        EXPECT_EQ(list.bottom, client.bottom);
    }

    before = OuterOf(window);
    SendMessageA(window, WM_COMMAND, IDC_EXPAND, 0);
    after = OuterOf(window);
    EXPECT_EQ(after.right - after.left, (before.right - before.left) / 2);
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_EXPAND)), ">>");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_PRESET_LIST)));
}

TEST_F(BrowserFrame, SystemMenuOpensTheAboutBox)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);

    HMENU menu = GetSystemMenu(window, FALSE);
    int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    char text[64] = {};
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Tonewell...");
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

    PostMessageA(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = nullptr;
    for (int i = 0; i < 500 && !about; ++i, Sleep(10))
        about = FindOwnWindow("#32770", "About Tonewell");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    HWND line = FindWindowExA(about, nullptr, "Static", "Tonewell Version 0.7");
    EXPECT_NE(line, nullptr);
    SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    for (int i = 0; i < 500 && IsWindow(about); ++i)
        Sleep(10);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(BrowserFrame, EnterDoesNothingAndEscapeCloses)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);

    SendMessageA(window, WM_COMMAND, IDOK, 0);
    SendMessageA(window, DM_SETDEFID, IDOK, 0);
    SendMessageA(GetDlgItem(window, IDC_SOUND_TREE), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(Runner().WaitForEnd(200));
    EXPECT_TRUE(IsWindow(window));

    EXPECT_EQ(Runner().Close(), IDCANCEL);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(BrowserFrame, TreeRemembersTheLastMousePosition)
{
    HWND tree = GetDlgItem(Open(), IDC_SOUND_TREE);
    ASSERT_NE(tree, nullptr);

    struct Case {
        UINT message;
        int x, y;
    };
    const Case cases[] = {{WM_MOUSEMOVE, 12, 34}, {WM_RBUTTONDOWN, 56, 7}, {WM_MOUSEMOVE, 0xFFFF, 3}};
    for (const Case& c : cases) {
        // A right-button press makes the tree wait for the release before it reports a click:
        // the release is queued on the tree's own thread first, so it can't be taken earlier.
        OnUi([&] {
            if (c.message == WM_RBUTTONDOWN)
                PostMessageA(tree, WM_RBUTTONUP, 0, MAKELPARAM(c.x, c.y));
            SendMessageA(tree, c.message, 0, MAKELPARAM(c.x, c.y));
        });
        const POINT last = Dialog().m_treeCommands.Input().LastMouse();
        EXPECT_EQ(last.x, c.x) << c.message;
        EXPECT_EQ(last.y, c.y) << c.message;
    }
    SendMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(99, 99));
    EXPECT_EQ(Dialog().m_treeCommands.Input().LastMouse().x, 0xFFFF);
}
