#pragma once
// What a screen reader learns of the sound tree's items: their texts, depth, state and place.
// Windows' own accessibility layer reads tree items itself; where the platform has no reader
// for them (Wine's names the tree but none of its items), the tree answers WM_GETOBJECT with
// an object of its own, numbering the shown items 1, 2, ... from the top.

#include <windows.h>

// The result for the tree's WM_GETOBJECT with these parameters: 0 (let the platform answer)
// unless the request is for the tree's client area and the platform's own object can't name
// its items.
LRESULT TreeAccessibleResult(HWND tree, WPARAM wParam, LPARAM lParam);

// Tells screen readers which item is now selected, where the tree's own object is served
// (Windows' tree control says so itself).
void AnnounceTreeSelection(HWND tree);
