#pragma once
// A card's memory between program runs, kept in a small text file, as a real
// card keeps its banks until the machine restarts. Needs no Windows header.

#include "cardmodel/CardModel.h"

#include <string>

std::string WriteCardState(const CardContents& contents);
// False, leaving `contents` alone, when the text is not a whole, valid card state.
bool ReadCardState(const std::string& text, CardContents& contents);

// False when the file is missing, unreadable or not a valid card state.
bool LoadCardState(const std::string& path, CardContents& contents);
bool SaveCardState(const std::string& path, const CardContents& contents);
