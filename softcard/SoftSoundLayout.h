#pragma once
// Where the sound of each bank and placed instrument of a software card device sits in its
// synthesizer's sound set. A bank plays when a bank select chooses its number, as on a card:
// the presets of the SoundFont's own bank 0 sit at the card bank's number, its drum kits
// (SoundFont bank 128) at 128 + that number. The synthesizer plays its drum channel from bank
// 128, so the kits of the bank loaded last are placed there too: that is what channel 10
// plays. A placed instrument (the preview bank) sits at its own bank and preset, over
// anything else there. Needs no Windows header.

#include "cardmodel/CardModel.h"
#include "synth/SoundSet.h"
#include "synth/SynthFont.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>

constexpr int kSoftDrumBankBase = 128;

struct SoftInstrumentSound {
    std::shared_ptr<const CSynthFont> font;
    int presetIndex = 0;
};

// What one device plays: by card bank, the font loaded there and when (a rising number).
struct SoftDeviceSound {
    std::array<std::shared_ptr<const CSynthFont>, kCardBankCount> banks;
    std::array<std::uint64_t, kCardBankCount> loadOrder{};
    // By CardInstrumentKey.
    std::map<std::uint32_t, SoftInstrumentSound> instruments;
};

std::shared_ptr<const CSoundSet> BuildSoftSoundSet(const SoftDeviceSound& sound);
