#pragma once
// SoundFont 2.04 modulators: the record as the file gives it, the default modulators every
// instrument has, and the value of a source from the state of a channel and a note.

#include <cstdint>

struct Modulator {
    std::uint16_t source = 0;
    std::uint16_t destination = 0;
    std::int16_t amount = 0;
    std::uint16_t amountSource = 0;
    std::uint16_t transform = 0;

    // Two modulators are the same one, for overriding, when all but the amount match.
    bool SameAs(const Modulator& other) const
    {
        return source == other.source && destination == other.destination &&
               amountSource == other.amountSource && transform == other.transform;
    }
};

// The state a modulator source reads.
struct ModulatorInputs {
    const std::uint8_t* controllers = nullptr; // 128 MIDI controller values of the channel
    int pitchWheel = 8192;                     // 0 to 16383
    float pitchWheelSensitivity = 2.0f;        // semitones
    int channelPressure = 0;
    int key = 60;
    int velocity = 100;
};

constexpr int kDefaultModulatorCount = 10;
const Modulator* DefaultModulators();

// The value of one source (-1 to 1), from its 16-bit descriptor.
float SourceValue(std::uint16_t source, const ModulatorInputs& inputs);
// Whether a source can be computed here (link sources and unknown controllers cannot).
bool IsUsableSource(std::uint16_t source);
// amount × source × amount source, through the transform; 0 for a primary "no controller".
float ModulatorValue(const Modulator& modulator, const ModulatorInputs& inputs);
