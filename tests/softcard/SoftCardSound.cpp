#include "tests/softcard/SoftCardSound.h"

#include <cmath>
#include <vector>

namespace {

std::uint32_t Pack(int status, int first, int second)
{
    return static_cast<std::uint32_t>(status | first << 8 | second << 16);
}

} // namespace

SynthConfig DrySynthConfig()
{
    SynthConfig config;
    config.sampleRate = kTestRate;
    config.reverb = false;
    config.chorus = false;
    return config;
}

void NoteOn(CSynthesizer& synth, int channel, int key, int velocity)
{
    synth.PostShortMessage(Pack(0x90 | channel, key, velocity));
}

void NoteOff(CSynthesizer& synth, int channel, int key)
{
    synth.PostShortMessage(Pack(0x80 | channel, key, 0));
}

void SelectSound(CSynthesizer& synth, int channel, int bank, int program)
{
    synth.PostShortMessage(Pack(0xB0 | channel, 0, bank));
    synth.PostShortMessage(Pack(0xC0 | channel, program, 0));
}

double RenderLevelDb(CSynthesizer& synth, double seconds)
{
    const std::size_t frames = static_cast<std::size_t>(seconds * kTestRate);
    std::vector<float> stereo(frames * 2);
    synth.Render(stereo.data(), frames);
    double sum = 0;
    for (float sample : stereo)
        sum += static_cast<double>(sample) * sample;
    double rms = std::sqrt(sum / static_cast<double>(stereo.size()));
    return rms > 1e-10 ? 20 * std::log10(rms) : -200;
}
