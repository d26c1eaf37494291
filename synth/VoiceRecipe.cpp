#include "synth/VoiceRecipe.h"

#include "synth/SynthMath.h"

namespace {

int IndexOf(const VoiceRecipe& recipe, const Modulator& modulator)
{
    for (int i = 0; i < recipe.modulatorCount; ++i) {
        if (recipe.modulators[i].SameAs(modulator))
            return i;
    }
    return -1;
}

void Append(VoiceRecipe& recipe, const Modulator& modulator)
{
    if (recipe.modulatorCount < kMaxVoiceModulators)
        recipe.modulators[recipe.modulatorCount++] = modulator;
}

// The zone's modulators replace identical ones already in the recipe; the others are added.
void Override(VoiceRecipe& recipe, const SynthZone& zone)
{
    for (const Modulator& modulator : zone.modulators) {
        const int held = IndexOf(recipe, modulator);
        if (held >= 0)
            recipe.modulators[held] = modulator;
        else
            Append(recipe, modulator);
    }
}

// A modulator of the preset's own zone replaces the identical one of its global zone; the
// result is added to the instrument's.
void AddPresetModulators(VoiceRecipe& recipe, const SynthZone& presetGlobal, const SynthZone& presetZone)
{
    auto add = [&](const Modulator& modulator) {
        const int held = IndexOf(recipe, modulator);
        if (held >= 0)
            recipe.modulators[held].amount = static_cast<std::int16_t>(
                Clamp(recipe.modulators[held].amount + modulator.amount, -32768, 32767));
        else
            Append(recipe, modulator);
    };
    for (const Modulator& modulator : presetGlobal.modulators) {
        bool replaced = false;
        for (const Modulator& own : presetZone.modulators)
            replaced = replaced || own.SameAs(modulator);
        if (!replaced)
            add(modulator);
    }
    for (const Modulator& modulator : presetZone.modulators)
        add(modulator);
}

} // namespace

void ComposeVoice(const SynthZone& presetGlobal, const SynthZone& presetZone, const SynthZone& instrumentGlobal,
                  const SynthZone& instrumentZone, VoiceRecipe& recipe)
{
    for (int g = 0; g < kGenCount; ++g) {
        float value = InfoOf(g).defaultValue;
        if (instrumentZone.generators.IsSet(g))
            value = instrumentZone.generators.Value(g);
        else if (instrumentGlobal.generators.IsSet(g))
            value = instrumentGlobal.generators.Value(g);
        if (InfoOf(g).presetMayAdd) {
            if (presetZone.generators.IsSet(g))
                value += presetZone.generators.Value(g);
            else if (presetGlobal.generators.IsSet(g))
                value += presetGlobal.generators.Value(g);
        }
        recipe.generators[g] = value;
    }
    recipe.generators[kGenAttenuation] *= kAttenuationScale;

    // Defaults, then the instrument's global zone, then its own zone, each replacing
    // identical modulators of the one before.
    recipe.modulatorCount = 0;
    for (int i = 0; i < kDefaultModulatorCount; ++i)
        Append(recipe, DefaultModulators()[i]);
    Override(recipe, instrumentGlobal);
    Override(recipe, instrumentZone);
    AddPresetModulators(recipe, presetGlobal, presetZone);
}
