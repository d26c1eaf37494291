#pragma once
// Where the software card keeps what its banks hold between runs: softcard.state in the user's
// application data folder (%APPDATA%\Tonewell), or the file TONEWELL_SOFTCARD_STATE names
// (tests, portable copies), with the card's own settings (SoftStateText). Read and written
// with wide paths, so any user name works.

#include "cardmodel/CardModel.h"
#include "engine/SoftCardSettings.h"

#include <string>

std::wstring SoftStateFilePath();

// False when the file is missing, unreadable or not a whole card state; the settings it
// holds are taken all the same.
bool LoadSoftState(const std::wstring& path, CardContents& contents, SoftCardSettings& settings);
// Written beside and then moved over the old file, so a failed write leaves the old state.
bool SaveSoftState(const std::wstring& path, const CardContents& contents, const SoftCardSettings& settings);
