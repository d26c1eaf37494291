#pragma once
// Plays a font image through a synthesizer for a test: loads it from a temporary file, sends
// messages at given times and returns what was rendered.

#include "synth/Synthesizer.h"
#include "tests/sf2/Sf2Image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TimedMessage {
    double seconds;
    std::uint32_t message;
};

std::uint32_t NoteOn(int channel, int key, int velocity = 127);
std::uint32_t NoteOff(int channel, int key);
std::uint32_t Control(int channel, int controller, int value);
std::uint32_t Bend(int channel, int value); // 0 to 16383
std::uint32_t Program(int channel, int program);

// A file in the working folder, removed when the object goes.
class CTempFile {
public:
    CTempFile(const std::string& name, const Bytes& bytes);
    ~CTempFile();
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Loads the image as a font; null (and a failed expectation naming the error) when it can't.
std::shared_ptr<const CSynthFont> LoadImage(const Bytes& image, const std::string& name);

SynthConfig NoEffects();

// Renders seconds of stereo from a synthesizer playing the font, with the messages at their
// times (in blocks of 64 frames, so their times are kept to 1.5 ms at 44.1 kHz).
std::vector<float> Play(const std::shared_ptr<const CSynthFont>& font, const std::vector<TimedMessage>& messages,
                        double seconds, SynthConfig config = NoEffects());

// A synthesizer driven step by step: messages now, then some seconds of sound.
class CSynthSession {
public:
    explicit CSynthSession(SynthConfig config = NoEffects()) : m_config(config), m_synth(config) {}
    CSynthesizer& Synth() { return m_synth; }
    void Post(std::uint32_t message);
    std::vector<float> Render(double seconds);

private:
    SynthConfig m_config;
    CSynthesizer m_synth;
};
