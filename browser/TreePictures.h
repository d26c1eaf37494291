#pragma once
// The tree's pictures in an image list that draws them on a transparent background, so that
// they show on dark and high-contrast colour schemes as on the classic white.

#include <windows.h>

#include <commctrl.h>

// Adds a copy of `bitmap` to `list` (made with ILC_MASK) with its background masked out, as
// PictureBackground finds it; the new picture's index, or -1.
int AddPictureWithClearBackground(HIMAGELIST list, HBITMAP bitmap);
