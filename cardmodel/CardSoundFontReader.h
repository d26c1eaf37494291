#pragma once
// The card model's own reader of SoundFont 2 files: what a card learns when it loads a
// bank or a single preset (names, and how much sample memory it takes). Needs no Windows
// header.

#include "engine/SfmResult.h"

#include <cstdint>
#include <map>
#include <string>

struct CardSoundFontContents {
    // The INAM text of the INFO list; empty when the file has none.
    std::string name;
    // Names of the presets in file bank 0, by preset number: the ones a card plays from a bank.
    std::map<std::uint16_t, std::string> presetNames;
    // Bytes of sample data (smpl, and sm24 when present).
    std::uint64_t sampleBytes = 0;
};

struct CardPresetContents {
    std::string name;
    // Bytes of the samples the preset's instruments play, each sample counted once.
    std::uint64_t sampleBytes = 0;
};

// 0, or "Pathname Invalid" (no such file), "Format Invalid" (not a SoundFont) or "System
// Memory Insufficient" (preset data too large to hold).
SfmResult CardReadSoundFont(const std::string& path, CardSoundFontContents& contents);
// As CardReadSoundFont, plus "Preset Index Invalid" when the file has no such preset.
SfmResult CardReadPreset(const std::string& path, std::uint16_t bank, std::uint16_t preset,
                        CardPresetContents& contents);
