#pragma once
// Questions about the windows of another process that the system answers across processes:
// its top-level windows, their controls, their texts and states.

#include <windows.h>

#include <string>
#include <vector>

struct WindowFacts {
    HWND handle = nullptr;
    int id = 0;
    std::string className;
    std::string text;
    bool visible = false;
    bool enabled = false;
};

WindowFacts DescribeWindow(HWND window);

// The window's text through WM_GETTEXT, which the system copies between processes (unlike
// GetWindowText, which does not ask another process's edit control for its contents).
std::string RemoteWindowText(HWND window);

// Top-level windows of the process, in Z order, hidden ones included.
std::vector<HWND> ProcessWindows(DWORD processId);
// The first top-level window of the process with this caption (visible ones first), or null.
HWND FindProcessWindow(DWORD processId, const std::string& caption);
// Every descendant of the window (controls of a dialog, the text of a message box).
std::vector<HWND> DescendantWindows(HWND window);
// A child given by its control id (all digits) or by its text, '&' ignored on both sides.
HWND FindChild(HWND window, const std::string& idOrText);

// Texts shown one per line: line breaks and tabs written as \r, \n and \t.
std::string OneLine(const std::string& text);
