#pragma once
// A SoundFont held in memory for playing: its presets, instruments, zones, generators,
// modulators, sample headers and sample data. Immutable once loaded, so that any number of
// synthesizers and sound sets may share it across threads.

#include "synth/Generators.h"
#include "synth/Modulator.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One zone of a preset or an instrument: the generators it sets and its own modulators.
// A zone's link is the instrument (preset zones) or the sample (instrument zones) it plays;
// a global zone has none (kNoLink).
struct SynthZone {
    static constexpr int kNoLink = -1;
    GeneratorSet generators;
    std::vector<Modulator> modulators;
    int link = kNoLink;
    std::uint8_t keyLow = 0, keyHigh = 127, velLow = 0, velHigh = 127;
};

struct SynthInstrument {
    std::string name;
    SynthZone global;             // generators and modulators every zone starts from
    std::vector<SynthZone> zones; // each with a sample
};

struct SynthPreset {
    std::string name;
    int bank = 0;
    int program = 0;
    SynthZone global;
    std::vector<SynthZone> zones; // each with an instrument
};

enum SampleTypeBits : std::uint16_t {
    kSampleMono = 1,
    kSampleRight = 2,
    kSampleLeft = 4,
    kSampleLinked = 8,
    kSampleRom = 0x8000,
};

// A sample header with its points already held inside the sample data (end, loop points
// exclusive of their last index, as the file gives them).
struct SynthSample {
    std::string name;
    std::uint32_t start = 0, end = 0, loopStart = 0, loopEnd = 0;
    std::uint32_t sampleRate = 44100;
    int originalKey = 60;
    int pitchCorrection = 0; // cents
    int link = -1;           // the other half of a stereo pair, or -1
    std::uint16_t type = kSampleMono;
};

class CSynthFont {
public:
    int PresetCount() const { return static_cast<int>(m_presets.size()); }
    const SynthPreset& Preset(int index) const { return m_presets[static_cast<std::size_t>(index)]; }
    const std::string& PresetName(int index) const { return Preset(index).name; }
    int PresetBank(int index) const { return Preset(index).bank; }
    int PresetProgram(int index) const { return Preset(index).program; }
    // The preset at (bank, program), or -1.
    int FindPreset(int bank, int program) const;

    int InstrumentCount() const { return static_cast<int>(m_instruments.size()); }
    const SynthInstrument& Instrument(int index) const { return m_instruments[static_cast<std::size_t>(index)]; }
    int SampleCount() const { return static_cast<int>(m_samples.size()); }
    const SynthSample& Sample(int index) const { return m_samples[static_cast<std::size_t>(index)]; }

    // 16-bit sample words, and where the file has them, the low bytes of 24-bit samples
    // (empty otherwise). Never inflated to float: a font costs what its file holds.
    const std::vector<std::int16_t>& SampleWords() const { return m_words; }
    const std::vector<std::uint8_t>& SampleLowBytes() const { return m_lowBytes; }
    std::size_t SampleDataBytes() const { return m_words.size() * 2 + m_lowBytes.size(); }

    // For the loaders only: a font is built once, then shared as const.
    std::vector<SynthPreset>& MutablePresets() { return m_presets; }
    std::vector<SynthInstrument>& MutableInstruments() { return m_instruments; }
    std::vector<SynthSample>& MutableSamples() { return m_samples; }
    std::vector<std::int16_t>& MutableWords() { return m_words; }
    std::vector<std::uint8_t>& MutableLowBytes() { return m_lowBytes; }

private:
    std::vector<SynthPreset> m_presets;
    std::vector<SynthInstrument> m_instruments;
    std::vector<SynthSample> m_samples;
    std::vector<std::int16_t> m_words;
    std::vector<std::uint8_t> m_lowBytes;
};

struct SynthFontLoad {
    std::shared_ptr<const CSynthFont> font;
    std::string error; // one line, naming the chunk that could not be read
};

SynthFontLoad LoadSynthFont(const std::string& utf8Path);
// Only the one preset (bank, program) and only the samples it uses are read, as a card's
// preview bank needs.
SynthFontLoad LoadSynthFontPreset(const std::string& utf8Path, int bank, int program);
// A wave file as a one-preset font: one sample, root key 60, unlooped (PCM 8/16/24-bit,
// mono or stereo).
SynthFontLoad LoadSynthWave(const std::string& utf8Path);
