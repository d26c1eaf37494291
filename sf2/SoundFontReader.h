#pragma once
// What one header walk over a SoundFont 2 file on disk tells: its presets, how much sample
// memory it needs, and, when its preset list can't be read, why.

#include "sf2/PresetHeader.h"
#include "sf2/SoundFontDamage.h"

#include <cstdint>
#include <string>
#include <vector>

struct SoundFontSummary {
    // As ReadPresetHeaders gives them; empty when not asked for or not read.
    std::vector<PresetHeader> presets;
    SoundFontDamage damage = SoundFontDamage::None;
    // The sizes of the "smpl" chunk and, where present, the "sm24" chunk of the "sdta" list:
    // what the card needs to hold the samples. Known only when "smpl" was found.
    bool sampleBytesKnown = false;
    std::uint64_t sampleBytes = 0;
};

// Reads the file's chunk headers and, with `withPresets`, its preset headers; the sample data
// are never read, only their sizes. True when the preset list was found (and, when asked for,
// read); false otherwise, with the damage that stopped the walk. Nothing is thrown: running out
// of memory while reading presets answers false with no damage (and no presets), since the
// file is not at fault.
bool ReadSoundFont(const std::string& path, SoundFontSummary& summary, bool withPresets = true) noexcept;
