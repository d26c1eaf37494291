#include "tests/support/ControlLayout.h"

#include "tests/support/MessageBoxWatcher.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

void ExpectPlacement(HWND dialog, HWND control, const RECT& units)
{
    // The dialog manager converts position and size separately, and so does this.
    RECT expected = units;
    MapDialogRect(dialog, &expected);
    RECT actual = {};
    GetWindowRect(control, &actual);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    if (units.right >= 0) {
        EXPECT_EQ(actual.right - actual.left, expected.right);
    }
    if (units.bottom >= 0) {
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
    }
}

} // namespace

void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& controls)
{
    for (const ExpectedControl& c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr);
        char className[64] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_STRCASEEQ(className, c.className);
        if (c.text) {
            EXPECT_EQ(WindowText(control), c.text);
        }
        auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(style & c.style, c.style);
        if (c.units.left >= 0)
            ExpectPlacement(dialog, control, c.units);
    }
}

void ExpectSpinBuddies(HWND dialog, const std::vector<SpinBuddy>& spins)
{
    for (const SpinBuddy& s : spins) {
        LRESULT buddy = SendDlgItemMessageA(dialog, s.spin, UDM_GETBUDDY, 0, 0);
        EXPECT_EQ(reinterpret_cast<HWND>(buddy), GetDlgItem(dialog, s.buddy)) << s.spin;
    }
}
