#pragma once
// Turns the nine chunks of a SoundFont's preset data into the font's presets, instruments and
// sample headers. Every index the file gives is checked against what it points into; lists
// that run past their ends stop there, and a budget bounds the work any file can ask for.

#include "synth/SoundFontChunks.h"
#include "synth/SynthFont.h"

#include <cstdint>
#include <string>
#include <vector>

using HydraBytes = std::vector<std::uint8_t>[SoundFontChunks::kHydraCount];

// sampleWords: the number of 16-bit words of sample data, which every sample point is held
// inside. Empty on success; otherwise one line naming the chunk at fault.
std::string ParsePresetData(const HydraBytes& hydra, std::uint64_t sampleWords, CSynthFont& font);
