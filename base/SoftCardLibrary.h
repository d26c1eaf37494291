#pragma once
// Where the software card's library is: TWSYNTH.DLL in the program's own folder, loaded by its
// full path and never searched for, so that no file of that name elsewhere takes its place.

#include <string>

constexpr const char* kSoftCardLibraryName = "TWSYNTH.DLL";

// The library's full path beside the running program.
std::wstring SoftCardLibraryPath();
