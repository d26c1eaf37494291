#pragma once
// An item's text as a tree control gives it to an 8-bit caller (in the ANSI code page), as the
// tests and the benchmark read what the tree shows.

#include <windows.h>

#include <commctrl.h>

#include <string>

std::string TreeItemText(HWND tree, HTREEITEM item);
