#pragma once
// What one voice plays, composed from the four zones a note passes through (the preset's
// global and own zone, the instrument's global and own zone): the generator values and the
// modulators, by the SoundFont 2.04 rules for defaults, overrides and sums.

#include "synth/Generators.h"
#include "synth/Modulator.h"
#include "synth/SynthFont.h"

constexpr int kMaxVoiceModulators = 64;

struct VoiceRecipe {
    // Instrument value (its zone's, else its global zone's, else the default) plus the preset's
    // (its zone's, else its global zone's) where a preset may add; not yet held to the range.
    // The initial attenuation is already scaled by kAttenuationScale.
    float generators[kGenCount];
    Modulator modulators[kMaxVoiceModulators];
    int modulatorCount = 0;
};

// Files are made for hardware that applied 0.4 of the attenuation they give; the reference
// synthesizer does the same, and SoundFonts are voiced for it. Modulators are not scaled.
constexpr float kAttenuationScale = 0.4f;

void ComposeVoice(const SynthZone& presetGlobal, const SynthZone& presetZone, const SynthZone& instrumentGlobal,
                  const SynthZone& instrumentZone, VoiceRecipe& recipe);
