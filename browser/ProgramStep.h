#pragma once
// Which preset a program change from the keyboard selects: within the SoundFont of the
// selected preset (a loaded bank or a file on disk) and its bank, the preset with that program,
// or the nearest one above, wrapping to the lowest.

#include "browser/SoundTree.h"

#include <windows.h>
#include <commctrl.h>

// Null when `selected` is not a preset (a device, a bank, a folder, a file, nothing).
HTREEITEM PresetForProgram(const CSoundTree& tree, HTREEITEM selected, int program);
