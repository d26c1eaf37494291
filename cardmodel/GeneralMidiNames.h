#pragma once
// The General MIDI program names: the presets of a card's built-in bank.

#include <cstddef>

constexpr std::size_t kGeneralMidiProgramCount = 128;

// The name of program 0 to 127.
const char* GeneralMidiProgramName(std::size_t program);
