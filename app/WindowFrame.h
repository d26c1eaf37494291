#pragma once
// Geometry rules of the main window, kept apart from the window so that they read plainly.

#include <windows.h>

struct FrameLayout {
    RECT expandButton;
    RECT tree;
    RECT presetList;
    bool presetListVisible;
};

// Where the ">>" button, the tree and the preset list go in a client area of width x height,
// given their current rectangles in client coordinates.
FrameLayout ComputeFrameLayout(int width, int height, bool expanded, const RECT& expandButton,
                               const RECT& tree, const RECT& presetList);

// A child window's rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child);
