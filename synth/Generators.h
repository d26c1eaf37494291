#pragma once
// The SoundFont 2.04 generators: their numbers, defaults and ranges, and a zone's set of them.

#include <array>
#include <cstdint>

enum Generator : int {
    kGenStartOffset = 0,
    kGenEndOffset = 1,
    kGenLoopStartOffset = 2,
    kGenLoopEndOffset = 3,
    kGenStartCoarseOffset = 4,
    kGenModLfoToPitch = 5,
    kGenVibLfoToPitch = 6,
    kGenModEnvToPitch = 7,
    kGenFilterFc = 8,
    kGenFilterQ = 9,
    kGenModLfoToFilterFc = 10,
    kGenModEnvToFilterFc = 11,
    kGenEndCoarseOffset = 12,
    kGenModLfoToVolume = 13,
    kGenChorusSend = 15,
    kGenReverbSend = 16,
    kGenPan = 17,
    kGenModLfoDelay = 21,
    kGenModLfoFreq = 22,
    kGenVibLfoDelay = 23,
    kGenVibLfoFreq = 24,
    kGenModEnvDelay = 25,
    kGenModEnvAttack = 26,
    kGenModEnvHold = 27,
    kGenModEnvDecay = 28,
    kGenModEnvSustain = 29,
    kGenModEnvRelease = 30,
    kGenKeyToModEnvHold = 31,
    kGenKeyToModEnvDecay = 32,
    kGenVolEnvDelay = 33,
    kGenVolEnvAttack = 34,
    kGenVolEnvHold = 35,
    kGenVolEnvDecay = 36,
    kGenVolEnvSustain = 37,
    kGenVolEnvRelease = 38,
    kGenKeyToVolEnvHold = 39,
    kGenKeyToVolEnvDecay = 40,
    kGenInstrument = 41,
    kGenKeyRange = 43,
    kGenVelRange = 44,
    kGenLoopStartCoarseOffset = 45,
    kGenKeynum = 46,
    kGenVelocity = 47,
    kGenAttenuation = 48,
    kGenLoopEndCoarseOffset = 50,
    kGenCoarseTune = 51,
    kGenFineTune = 52,
    kGenSampleId = 53,
    kGenSampleModes = 54,
    kGenScaleTuning = 56,
    kGenExclusiveClass = 57,
    kGenOverridingRootKey = 58,
    // Not a generator of the file: the destination "initial pitch" of the pitch-wheel
    // modulator, in cents.
    kGenPitch = 59,
    kGenCount = 60,
};

struct GeneratorInfo {
    std::int16_t defaultValue;
    std::int16_t low;
    std::int16_t high;
    bool presetMayAdd; // whether a preset zone's value is added to the instrument's
};

const GeneratorInfo& InfoOf(int generator);
bool IsKnownGenerator(int generator);

// The values a zone sets; the ones it doesn't set are marked so that a global zone's value
// or the default stands instead.
class GeneratorSet {
public:
    void Set(int generator, std::int16_t value);
    bool IsSet(int generator) const { return (m_setBits[generator / 32] >> (generator % 32)) & 1u; }
    std::int16_t Value(int generator) const { return m_values[static_cast<std::size_t>(generator)]; }

private:
    std::array<std::int16_t, kGenCount> m_values{};
    std::array<std::uint32_t, 2> m_setBits{};
};
