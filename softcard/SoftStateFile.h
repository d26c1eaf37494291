#pragma once
// Where the software card keeps what its banks hold between runs: softcard.state in the user's
// application data folder (%APPDATA%\Tonewell), or the file TONEWELL_SOFTCARD_STATE names
// (tests, portable copies). Read and written with wide paths, so any user name works.

#include "cardmodel/CardModel.h"

#include <string>

std::wstring SoftStateFilePath();

// False when the file is missing, unreadable or not a whole card state.
bool LoadSoftState(const std::wstring& path, CardContents& contents);
// Written beside and then moved over the old file, so a failed write leaves the old state.
bool SaveSoftState(const std::wstring& path, const CardContents& contents);
