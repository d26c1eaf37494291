#include "base/Controls.h"

#include <cstdio>

std::string ControlText(HWND control)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    int length = GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void SetControlNumber(HWND control, std::int32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(number));
    SetWindowTextA(control, text);
}

bool IsChecked(HWND button)
{
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked)
{
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EnableControl(HWND control, bool enabled)
{
    EnableWindow(control, enabled);
}
