#include "fuzz/SynthFontChecks.h"

#include "synth/SoundSet.h"
#include "synth/Synthesizer.h"

#include <cmath>
#include <vector>

namespace {

constexpr std::size_t kFramesPerPreset = 192;
// Far above anything a font can play (64 voices at full level through the most resonant
// filter stay below it): output past it means a fault, not a loud sound.
constexpr float kBound = 1e5f;

std::string CheckLoad(const SynthFontLoad& load, const char* how)
{
    if (load.font)
        return load.error.empty() ? PlayEveryPreset(load.font) : std::string(how) + ": a font and an error";
    if (load.error.empty())
        return std::string(how) + ": failed without a reason";
    if (load.error.find('\n') != std::string::npos)
        return std::string(how) + ": a reason of more than one line";
    return {};
}

} // namespace

std::string PlayEveryPreset(const std::shared_ptr<const CSynthFont>& font)
{
    SynthConfig config;
    CSynthesizer synth(config);
    std::vector<float> out(2 * kFramesPerPreset);
    for (int preset = 0; preset < font->PresetCount(); ++preset) {
        CSoundSetBuilder builder;
        builder.AddPreset(0, 0, font, preset);
        synth.SetSoundSet(builder.Build());
        synth.PostShortMessage(0xB0 | 91 << 8 | 127 << 16); // reverb send full
        for (int key : {0, 60, 127})
            synth.PostShortMessage(static_cast<std::uint32_t>(0x90 | key << 8 | 127 << 16));
        synth.Render(out.data(), kFramesPerPreset);
        synth.PostShortMessage(0xB0 | 120 << 8); // all sound off
        for (float sample : out) {
            if (!std::isfinite(sample) || std::fabs(sample) > kBound)
                return "preset " + std::to_string(preset) + " played " + std::to_string(sample);
        }
    }
    return {};
}

std::string CheckSynthFont(const std::string& path)
{
    const SynthFontLoad whole = LoadSynthFont(path);
    std::string broken = CheckLoad(whole, "whole font");
    if (broken.empty() && whole.font && whole.font->PresetCount() > 0) {
        const SynthPreset& first = whole.font->Preset(0);
        broken = CheckLoad(LoadSynthFontPreset(path, first.bank, first.program), "one preset");
    }
    if (broken.empty())
        broken = CheckLoad(LoadSynthWave(path), "wave");
    return broken;
}
