#pragma once
// Files dropped onto a window as the shell drops them: the block WM_DROPFILES carries.

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

// The block, then each path and its NUL, then one more NUL; `point` in the client coordinates
// of the window it is sent to. The window's DragFinish frees it.
HDROP DropData(const std::vector<std::wstring>& paths, POINT point);
