#include "tests/softcard/SoftCardSound.h"

#include "tests/engine/SoundFontFixture.h"

#include <cmath>
#include <vector>

namespace {

std::uint32_t Pack(int status, int first, int second)
{
    return static_cast<std::uint32_t>(status | first << 8 | second << 16);
}

void PutLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int at = 0; at < bytes; ++at)
        out += static_cast<char>(value >> (8 * at) & 0xFF);
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

std::string SineWaveBytes(std::uint32_t frames)
{
    std::string format;
    PutLe(format, 1, 2);         // PCM
    PutLe(format, 1, 2);         // mono
    PutLe(format, 22050, 4);     // frames a second
    PutLe(format, 22050 * 2, 4); // bytes a second
    PutLe(format, 2, 2);         // bytes a frame
    PutLe(format, 16, 2);        // bits a sample
    std::string data;
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        double phase = 2 * 3.14159265358979 * frame / kFixtureSinePeriod;
        PutLe(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(30000 * std::sin(phase)))), 2);
    }
    std::string body = "WAVEfmt ";
    PutLe(body, static_cast<std::uint32_t>(format.size()), 4);
    body += format + "data";
    PutLe(body, static_cast<std::uint32_t>(data.size()), 4);
    body += data;
    std::string file = "RIFF";
    PutLe(file, static_cast<std::uint32_t>(body.size()), 4);
    return file + body;
}
