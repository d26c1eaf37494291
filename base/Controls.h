#pragma once
// Small helpers over a dialog's controls, shared by every dialog of the program.

#include <windows.h>

#include <cstdint>
#include <string>

// The control's whole text, however long.
std::string ControlText(HWND control);
// Shows `number` as decimal text.
void SetControlNumber(HWND control, std::int32_t number);
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);
void EnableControl(HWND control, bool enabled);
