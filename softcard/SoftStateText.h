#pragma once
// The text of the software card's state file: the card model's state (its devices, with each
// device's sound memory, and its banks), then one line for each of the card's own settings
// ("setting buffer-ms 30"). Needs no Windows header.

#include "cardmodel/CardModel.h"
#include "engine/SoftCardSettings.h"

#include <string>

// The sound memory is the devices' own; the other settings follow the card's state.
std::string WriteSoftState(const CardContents& contents, const SoftCardSettings& settings);
// Reads the settings that are there and in range, each on its own; the others keep their
// defaults. False, with `contents` left alone, when the card's state is not whole and valid.
bool ReadSoftState(const std::string& text, CardContents& contents, SoftCardSettings& settings);

