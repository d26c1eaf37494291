#pragma once
// The message that refuses a load before the card is asked, when the file certainly can't fit.

#include "card/LoadFit.h"

#include <windows.h>

#include <string>

// When `fit` says `path` certainly can't fit, says so in one message owned by `owner` and
// answers true: the load is not to be tried. Otherwise answers false, and the card decides,
// as for a file whose sizes can't be read.
bool RefuseLoadThatCantFit(HWND owner, const LoadFit& fit, const std::string& path);
