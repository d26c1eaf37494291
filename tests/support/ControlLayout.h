#pragma once
// The layout checks of a dialog's controls against its template, over a table of controls.

#include <windows.h>

#include <vector>

struct ExpectedControl {
    int id;
    const char* className;
    const char* text; // null: not checked
    DWORD style;      // bits that must be set
    // x, y, width and height in dialog units; a left below 0 leaves the placement unchecked,
    // a width or height below 0 is the platform's (a drop-down combo box is as high as its
    // closed field, an up-down control may take its standard width).
    RECT units = {-1, -1, -1, -1};
};

struct SpinBuddy {
    int spin;
    int buddy;
};

// Checks each control of `dialog`: its class, text, style and placement.
void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& controls);
// Checks that each spin takes its field as its buddy.
void ExpectSpinBuddies(HWND dialog, const std::vector<SpinBuddy>& spins);
