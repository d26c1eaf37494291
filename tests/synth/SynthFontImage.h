#pragma once
// Small SoundFont 2 images for the synthesizer's tests, described by what they hold (samples,
// instruments, presets with their generators and modulators) and built byte by byte on the
// chunk helpers of tests/sf2/Sf2Image. Hostile variants tamper with the chunks before they
// are put together.

#include "synth/Modulator.h"
#include "tests/sf2/Sf2Image.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct GenSpec {
    std::uint16_t generator;
    std::int16_t amount;
};
GenSpec Range(std::uint16_t generator, std::uint8_t low, std::uint8_t high); // key or velocity range

struct ZoneSpec {
    std::vector<GenSpec> generators; // without the instrument or sample generator
    std::vector<Modulator> modulators;
    int link = -1; // the instrument (preset zones) or sample (instrument zones); -1: a global zone
};

struct SampleSpec {
    std::string name = "sample";
    std::vector<std::int16_t> words;
    std::uint32_t loopStart = 0, loopEnd = 0; // relative to the sample's first word
    std::uint32_t sampleRate = 44100;
    std::uint8_t originalKey = 60;
    std::int8_t pitchCorrection = 0;
    std::uint16_t link = 0;
    std::uint16_t type = 1; // mono
    // Hostile headers: points written as given, absolute in the data, instead of the above.
    bool rawPoints = false;
    std::uint32_t rawStart = 0, rawEnd = 0, rawLoopStart = 0, rawLoopEnd = 0;
};

struct InstrumentSpec {
    std::string name = "instrument";
    std::vector<ZoneSpec> zones;
};

struct PresetSpec {
    std::string name = "preset";
    std::uint16_t bank = 0, program = 0;
    std::vector<ZoneSpec> zones;
};

struct FontSpec {
    std::vector<SampleSpec> samples;
    std::vector<InstrumentSpec> instruments;
    std::vector<PresetSpec> presets;
    bool lowBytes = false; // adds an sm24 chunk of 0x80 bytes
    // Called with the nine preset-data chunks' data by their identifiers before assembly.
    std::function<void(std::map<std::string, Bytes>&)> tamper;
};

Bytes BuildSoundFont(const FontSpec& spec);

// One cycle of a sine every `period` samples, `cycles` times, at the amplitude given.
std::vector<std::int16_t> SineWords(int period, int cycles, double amplitude = 16000.0);
// A sine whose level falls exponentially to silence over its length.
std::vector<std::int16_t> DecayingWords(int period, int length, double amplitude = 16000.0);

// The usual test font: one preset (0:0) of one instrument of one looped 440 Hz sine (root key
// 69, 44 kHz, 100-sample period), with the instrument and preset zones' generators given.
FontSpec SineFont(std::vector<GenSpec> instrumentGenerators = {}, std::vector<GenSpec> presetGenerators = {},
                  std::vector<Modulator> instrumentModulators = {});
