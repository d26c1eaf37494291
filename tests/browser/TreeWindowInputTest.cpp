// The tree's own window procedure on a bare tree control: where the mouse was last seen.

#include "browser/TreeWindowInput.h"

#include <commctrl.h>
#include <gtest/gtest.h>

TEST(TreeWindowInput, RemembersTheLastMousePositionOverTheTree)
{
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(tree, nullptr);
    {
        CTreeWindowInput input;
        input.Attach(tree);
        struct Case {
            UINT message;
            int x, y;
        };
        const Case cases[] = {{WM_MOUSEMOVE, 12, 34}, {WM_RBUTTONDOWN, 56, 7}, {WM_MOUSEMOVE, 0xFFFF, 3}};
        for (const Case& c : cases) {
            // A right-button press makes the tree wait for the release before it reports a
            // click: the release is queued first, so it can't be taken earlier.
            if (c.message == WM_RBUTTONDOWN)
                PostMessageA(tree, WM_RBUTTONUP, 0, MAKELPARAM(c.x, c.y));
            SendMessageA(tree, c.message, 0, MAKELPARAM(c.x, c.y));
            const POINT last = input.LastMouse();
            EXPECT_EQ(last.x, c.x) << c.message;
            EXPECT_EQ(last.y, c.y) << c.message;
        }
        // Other mouse messages leave it.
        SendMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(99, 99));
        EXPECT_EQ(input.LastMouse().x, 0xFFFF);
    }
    DestroyWindow(tree);
}
