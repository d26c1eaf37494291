#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

std::uint32_t NoteOn(int channel, int key, int velocity)
{
    return static_cast<std::uint32_t>(0x90 | channel | key << 8 | velocity << 16);
}

std::uint32_t NoteOff(int channel, int key)
{
    return static_cast<std::uint32_t>(0x80 | channel | key << 8);
}

std::uint32_t Control(int channel, int controller, int value)
{
    return static_cast<std::uint32_t>(0xB0 | channel | controller << 8 | value << 16);
}

std::uint32_t Bend(int channel, int value)
{
    return static_cast<std::uint32_t>(0xE0 | channel | (value & 0x7F) << 8 | (value >> 7) << 16);
}

std::uint32_t Program(int channel, int program)
{
    return static_cast<std::uint32_t>(0xC0 | channel | program << 8);
}

CTempFile::CTempFile(const std::string& name, const Bytes& bytes) : m_path("synth-test-" + name)
{
    for (char& c : m_path) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.')
            c = '_';
    }
    WriteFile(m_path, bytes);
}

CTempFile::~CTempFile()
{
    RemoveFile(m_path);
}

std::shared_ptr<const CSynthFont> LoadImage(const Bytes& image, const std::string& name)
{
    CTempFile file(name + ".sf2", image);
    SynthFontLoad load = LoadSynthFont(file.Path());
    EXPECT_TRUE(load.font) << name << ": " << load.error;
    return load.font;
}

SynthConfig NoEffects()
{
    SynthConfig config;
    config.reverb = false;
    config.chorus = false;
    return config;
}

std::vector<float> Play(const std::shared_ptr<const CSynthFont>& font, const std::vector<TimedMessage>& messages,
                        double seconds, SynthConfig config)
{
    CSynthesizer synth(config);
    synth.SetFont(font);
    const std::size_t frames = static_cast<std::size_t>(seconds * config.sampleRate);
    std::vector<float> out(2 * frames);
    std::size_t next = 0;
    for (std::size_t at = 0; at < frames; at += 64) {
        while (next < messages.size() && messages[next].seconds * config.sampleRate <= static_cast<double>(at))
            EXPECT_TRUE(synth.PostShortMessage(messages[next++].message));
        synth.Render(out.data() + 2 * at, std::min<std::size_t>(64, frames - at));
    }
    return out;
}

void CSynthSession::Post(std::uint32_t message)
{
    EXPECT_TRUE(m_synth.PostShortMessage(message));
}

std::vector<float> CSynthSession::Render(double seconds)
{
    std::vector<float> out(2 * static_cast<std::size_t>(seconds * m_config.sampleRate));
    m_synth.Render(out.data(), out.size() / 2);
    return out;
}
