#include "synth/Generators.h"

namespace {

constexpr GeneratorInfo kUnused{0, 0, 0, false};
constexpr GeneratorInfo Offset() { return {0, -32768, 32767, false}; }
constexpr GeneratorInfo Modulated(std::int16_t def, std::int16_t low, std::int16_t high) { return {def, low, high, true}; }
constexpr GeneratorInfo SampleOnly(std::int16_t def, std::int16_t low, std::int16_t high) { return {def, low, high, false}; }

// SoundFont 2.04, section 8.1.3: default and range of every generator; the address offsets,
// key and velocity overrides, sample modes, exclusive class and root key belong to the
// instrument's zones alone.
const GeneratorInfo kInfo[kGenCount] = {
    Offset(),                         // 0 startAddrsOffset
    Offset(),                         // 1 endAddrsOffset
    Offset(),                         // 2 startloopAddrsOffset
    Offset(),                         // 3 endloopAddrsOffset
    Offset(),                         // 4 startAddrsCoarseOffset
    Modulated(0, -12000, 12000),      // 5 modLfoToPitch
    Modulated(0, -12000, 12000),      // 6 vibLfoToPitch
    Modulated(0, -12000, 12000),      // 7 modEnvToPitch
    Modulated(13500, 1500, 13500),    // 8 initialFilterFc
    Modulated(0, 0, 960),             // 9 initialFilterQ
    Modulated(0, -12000, 12000),      // 10 modLfoToFilterFc
    Modulated(0, -12000, 12000),      // 11 modEnvToFilterFc
    Offset(),                         // 12 endAddrsCoarseOffset
    Modulated(0, -960, 960),          // 13 modLfoToVolume
    kUnused,                          // 14
    Modulated(0, 0, 1000),            // 15 chorusEffectsSend
    Modulated(0, 0, 1000),            // 16 reverbEffectsSend
    Modulated(0, -500, 500),          // 17 pan
    kUnused, kUnused, kUnused,        // 18-20
    Modulated(-12000, -12000, 5000),  // 21 delayModLFO
    Modulated(0, -16000, 4500),       // 22 freqModLFO
    Modulated(-12000, -12000, 5000),  // 23 delayVibLFO
    Modulated(0, -16000, 4500),       // 24 freqVibLFO
    Modulated(-12000, -12000, 5000),  // 25 delayModEnv
    Modulated(-12000, -12000, 8000),  // 26 attackModEnv
    Modulated(-12000, -12000, 5000),  // 27 holdModEnv
    Modulated(-12000, -12000, 8000),  // 28 decayModEnv
    Modulated(0, 0, 1000),            // 29 sustainModEnv
    Modulated(-12000, -12000, 8000),  // 30 releaseModEnv
    Modulated(0, -1200, 1200),        // 31 keynumToModEnvHold
    Modulated(0, -1200, 1200),        // 32 keynumToModEnvDecay
    Modulated(-12000, -12000, 5000),  // 33 delayVolEnv
    Modulated(-12000, -12000, 8000),  // 34 attackVolEnv
    Modulated(-12000, -12000, 5000),  // 35 holdVolEnv
    Modulated(-12000, -12000, 8000),  // 36 decayVolEnv
    Modulated(0, 0, 1440),            // 37 sustainVolEnv
    Modulated(-12000, -12000, 8000),  // 38 releaseVolEnv
    Modulated(0, -1200, 1200),        // 39 keynumToVolEnvHold
    Modulated(0, -1200, 1200),        // 40 keynumToVolEnvDecay
    kUnused,                          // 41 instrument
    kUnused,                          // 42
    kUnused,                          // 43 keyRange
    kUnused,                          // 44 velRange
    Offset(),                         // 45 startloopAddrsCoarseOffset
    SampleOnly(-1, -1, 127),          // 46 keynum
    SampleOnly(-1, -1, 127),          // 47 velocity
    Modulated(0, 0, 1440),            // 48 initialAttenuation
    kUnused,                          // 49
    Offset(),                         // 50 endloopAddrsCoarseOffset
    Modulated(0, -120, 120),          // 51 coarseTune
    Modulated(0, -99, 99),            // 52 fineTune
    kUnused,                          // 53 sampleID
    SampleOnly(0, 0, 3),              // 54 sampleModes
    kUnused,                          // 55
    Modulated(100, 0, 1200),          // 56 scaleTuning
    SampleOnly(0, 0, 127),            // 57 exclusiveClass
    SampleOnly(-1, -1, 127),          // 58 overridingRootKey
    Modulated(0, -32768, 32767),      // 59 pitch (modulators only)
};

} // namespace

const GeneratorInfo& InfoOf(int generator)
{
    return kInfo[generator];
}

bool IsKnownGenerator(int generator)
{
    return generator >= 0 && generator < kGenCount;
}

void GeneratorSet::Set(int generator, std::int16_t value)
{
    m_values[static_cast<std::size_t>(generator)] = value;
    m_setBits[generator / 32] |= 1u << (generator % 32);
}
