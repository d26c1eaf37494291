#pragma once
// Why the preset list of a .sf2 file could not be read, in words a user can act on.

#include <cstdint>

enum class SoundFontDamage : std::uint8_t {
    None,
    // The file could not be opened at all: another program holds it, or it may not be read.
    CantOpen,
    // Not a RIFF form of type "sfbk" (and no preset list found in it anyway).
    NotSoundFont,
    // A well-formed SoundFont form without a readable "pdta" list or "phdr" chunk in it.
    NoPresetList,
    // The file ends inside the preset list: a download or copy cut short.
    EndsInsidePresetList,
    // The file ends inside a chunk before the preset list, the sample data most often.
    EndsBeforePresetList,
};

// The reason as a short sentence, e.g. "Not a SoundFont"; empty for None.
const char* DamageText(SoundFontDamage damage);
