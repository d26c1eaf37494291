#include "softcard/SoftSoundLayout.h"

namespace {

constexpr int kFontMelodicBank = 0;
constexpr int kFontDrumBank = 128;

void AddBank(CSoundSetBuilder& builder, int cardBank, const std::shared_ptr<const CSynthFont>& font)
{
    for (int index = 0; index < font->PresetCount(); ++index) {
        int fontBank = font->PresetBank(index);
        int program = font->PresetProgram(index);
        if (fontBank == kFontMelodicBank)
            builder.AddPreset(cardBank, program, font, index);
        else if (fontBank == kFontDrumBank)
            builder.AddPreset(kSoftDrumBankBase + cardBank, program, font, index);
    }
}

bool HasDrumKits(const CSynthFont& font)
{
    for (int index = 0; index < font.PresetCount(); ++index) {
        if (font.PresetBank(index) == kFontDrumBank)
            return true;
    }
    return false;
}

// The bank whose kits the drum channel plays: the one loaded last among those with kits; 0
// for none (bank 0 is the built-in bank and never holds a font).
int DrumChannelBank(const SoftDeviceSound& sound)
{
    int chosen = 0;
    for (int bank = 1; bank < static_cast<int>(kCardBankCount); ++bank) {
        const auto& font = sound.banks[bank];
        if (font && HasDrumKits(*font) && (chosen == 0 || sound.loadOrder[bank] > sound.loadOrder[chosen]))
            chosen = bank;
    }
    return chosen;
}

} // namespace

std::shared_ptr<const CSoundSet> BuildSoftSoundSet(const SoftDeviceSound& sound)
{
    CSoundSetBuilder builder;
    for (int bank = 1; bank < static_cast<int>(kCardBankCount); ++bank) {
        if (sound.banks[bank])
            AddBank(builder, bank, sound.banks[bank]);
    }
    if (int drums = DrumChannelBank(sound)) {
        const auto& font = sound.banks[drums];
        for (int index = 0; index < font->PresetCount(); ++index) {
            if (font->PresetBank(index) == kFontDrumBank)
                builder.AddPreset(kSoftDrumBankBase, font->PresetProgram(index), font, index);
        }
    }
    // Added last: a place given twice keeps the preset added last.
    for (const auto& placed : sound.instruments) {
        int bank = static_cast<int>(placed.first >> 16);
        int program = static_cast<int>(placed.first & 0xFFFF);
        builder.AddPreset(bank, program, placed.second.font, placed.second.presetIndex);
    }
    return builder.Build();
}
