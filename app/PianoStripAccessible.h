#pragma once
// What a screen reader learns of the piano strip: the strip as "Piano keys" whose value is the
// velocity the computer keyboard plays with, and one button per key shown, named by its note
// ("C sharp 4") and pressed while it sounds. Keys are numbered 1, 2, ... from the lowest.

#include <windows.h>

// The result for the strip's WM_GETOBJECT: 0 (let the platform answer) unless the request is
// for its client area.
LRESULT PianoStripAccessibleResult(HWND strip, WPARAM wParam, LPARAM lParam);
