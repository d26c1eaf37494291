#pragma once
// Reaching the simulated card's test switches in the SFMAN32.DLL that a manager has loaded,
// without taking a load of the library for the test itself.

#include "sim/SimControl.h"

#include <string>

// The switches, or null when no SFMAN32.DLL with them is loaded in this process.
const SimControlTable* FindSimControl();

// A path on the Unix side as the Windows program sees it (Z:\...).
std::string WindowsPath(const std::string& unixPath);
