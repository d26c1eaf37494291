#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The texts of a combo box's list, in order.
std::vector<std::string> ComboItems(HWND combo);
