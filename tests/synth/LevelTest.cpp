// Levels in dB: attenuation, velocity and controllers through the default and the file's
// modulators, pan; the volume envelope's segments; the low-pass filter.

#include "synth/Generators.h"
#include "tests/synth/SoundMeasure.h"
#include "tests/synth/SynthFontImage.h"
#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kRate = 44100.0;
constexpr double kSilent = -300.0;

double Timecents(double seconds)
{
    return std::lround(1200.0 * std::log2(seconds));
}

struct NoteSetup {
    std::vector<GenSpec> instrument;
    std::vector<GenSpec> preset;
    std::vector<Modulator> modulators;
    std::vector<std::uint32_t> before;
    int key = 69;
    int velocity = 127;
};

NoteSetup Generators(std::vector<GenSpec> instrument, std::vector<GenSpec> preset = {})
{
    NoteSetup setup;
    setup.instrument = std::move(instrument);
    setup.preset = std::move(preset);
    return setup;
}

NoteSetup Messages(std::vector<std::uint32_t> before)
{
    NoteSetup setup;
    setup.before = std::move(before);
    return setup;
}

NoteSetup Velocity(int velocity, std::vector<Modulator> modulators = {})
{
    NoteSetup setup;
    setup.velocity = velocity;
    setup.modulators = std::move(modulators);
    return setup;
}

std::vector<float> Render(const NoteSetup& setup, const std::string& name, double seconds, double noteOff = -1.0)
{
    const auto font = LoadImage(BuildSoundFont(SineFont(setup.instrument, setup.preset, setup.modulators)), name);
    if (!font)
        return {};
    std::vector<TimedMessage> messages;
    for (std::uint32_t message : setup.before)
        messages.push_back({0.0, message});
    messages.push_back({0.0, NoteOn(0, setup.key, setup.velocity)});
    if (noteOff >= 0.0)
        messages.push_back({noteOff, NoteOff(0, setup.key)});
    return Play(font, messages, seconds);
}

double SteadyLevel(const NoteSetup& setup, const std::string& name, int side)
{
    return RmsDb(Span(Channel(Render(setup, name, 0.5), side), kRate, 0.2, 0.45));
}

struct LevelCase {
    const char* name;
    NoteSetup setup;
    int side; // 0 left, 1 right, -1 both
    double db; // relative to the same side at velocity 127, no attenuation, centre
};

std::vector<LevelCase> LevelCases()
{
    const double velocity64 = 40.0 * std::log10(64.0 / 127.0);
    NoteSetup amountSource = Messages({Control(0, 21, 127), Control(0, 22, 64)});
    amountSource.modulators = {Modulator{0x0095, kGenAttenuation, 960, 0x0096, 0}};
    return {
        {"initial attenuation 100 cB, scaled by 0.4", Generators({{kGenAttenuation, 100}}), -1, -4.0},
        {"preset attenuation adds to the instrument's", Generators({{kGenAttenuation, 100}}, {{kGenAttenuation, 50}}), -1, -6.0},
        {"velocity 64, concave", Velocity(64), -1, velocity64},
        // The reference is at the default volume, 100.
        {"CC7 volume 64", Messages({Control(0, 7, 64)}), -1, velocity64 - 40.0 * std::log10(100.0 / 127.0)},
        {"CC11 expression 32", Messages({Control(0, 11, 32)}), -1, 40.0 * std::log10(32.0 / 127.0)},
        {"an instrument modulator replaces the default velocity curve",
         Velocity(64, {Modulator{0x0502, kGenAttenuation, 0, 0, 0}}), -1, 0.0},
        {"modulator with an amount source", amountSource, -1, -96.0 * (127.0 / 128.0) * 0.5},
        {"pan generator hard left, left side", Generators({{kGenPan, -500}}), 0, 3.01},
        {"pan generator hard left, right side", Generators({{kGenPan, -500}}), 1, kSilent},
        {"CC10 pan 0, left side", Messages({Control(0, 10, 0)}), 0, 3.01},
    };
}

} // namespace

TEST(SynthLevel, EachCaseInDecibels)
{
    const double reference[2] = {SteadyLevel({}, "reference", 0), SteadyLevel({}, "reference", 1)};
    const double referenceBoth = SteadyLevel({}, "reference", -1);
    for (const LevelCase& c : LevelCases()) {
        const double level = SteadyLevel(c.setup, c.name, c.side);
        if (c.db == kSilent) {
            EXPECT_LT(level, -100.0) << c.name;
            continue;
        }
        const double relative = level - (c.side < 0 ? referenceBoth : reference[c.side]);
        EXPECT_NEAR(relative, c.db, 0.3) << c.name;
    }
}

TEST(SynthLevel, GainLikeTheReferenceSynthesizer)
{
    // A sine peaking at 16000 of 32768, centre (0.707 a side), gain 0.2, the default volume
    // 100 (4.15 dB down by the concave curve), and the filter's gain at its flattest Q (+1.5 dB,
    // as the reference synthesizer's): measured against a render of the reference, within 0.3 dB.
    const double sineRms = 16000.0 / 32768.0 / std::sqrt(2.0);
    const double expected = 20.0 * std::log10(0.2 * sineRms * std::sqrt(0.5)) + 40.0 * std::log10(100.0 / 127.0) +
                            20.0 * std::log10(std::pow(10.0, 3.01 / 40.0));
    EXPECT_NEAR(SteadyLevel({}, "gain", 0), expected, 0.3);
}

namespace {

struct EnvelopeCase {
    const char* name;
    std::vector<GenSpec> instrument;
    double noteOff;  // seconds, or -1
    double at;       // when the level is measured
    double db;       // relative to the sustained full level
};

std::vector<EnvelopeCase> EnvelopeCases()
{
    const std::int16_t attack = static_cast<std::int16_t>(Timecents(0.2));
    const std::int16_t hold = static_cast<std::int16_t>(Timecents(0.1));
    const std::int16_t second = 0;
    const std::int16_t delay = static_cast<std::int16_t>(Timecents(0.1));
    return {
        {"delay: silent before it ends", {{kGenVolEnvDelay, delay}}, -1, 0.05, kSilent},
        {"attack rises linearly: half way at half the time", {{kGenVolEnvAttack, attack}}, -1, 0.1, -6.02},
        {"attack done", {{kGenVolEnvAttack, attack}}, -1, 0.3, 0.0},
        {"hold keeps the peak", {{kGenVolEnvHold, hold}, {kGenVolEnvDecay, second}, {kGenVolEnvSustain, 240}}, -1, 0.09, 0.0},
        {"decay: 96 dB a second after the hold",
         {{kGenVolEnvHold, hold}, {kGenVolEnvDecay, second}, {kGenVolEnvSustain, 240}}, -1, 0.225, -12.0},
        {"sustain level 24 dB down", {{kGenVolEnvDecay, second}, {kGenVolEnvSustain, 240}}, -1, 0.6, -24.0},
        {"release: 96 dB a second from note-off", {{kGenVolEnvRelease, second}}, 0.3, 0.55, -24.0},
        {"key to decay: 100 tc a key above 60 shortens it",
         {{kGenVolEnvDecay, second}, {kGenKeyToVolEnvDecay, 100}, {kGenVolEnvSustain, 960}}, -1, 0.25, -96.0 * 0.25 * std::exp2(0.75)},
    };
}

} // namespace

TEST(SynthLevel, VolumeEnvelopeSegments)
{
    const double full = SteadyLevel({}, "envelope reference", -1);
    for (const EnvelopeCase& c : EnvelopeCases()) {
        NoteSetup setup;
        setup.instrument = c.instrument;
        const std::vector<float> mono = Channel(Render(setup, c.name, 0.8, c.noteOff), -1);
        const double level = RmsDb(Span(mono, kRate, c.at - 0.0025, c.at + 0.0025));
        if (c.db == kSilent) {
            EXPECT_LT(level, -100.0) << c.name;
            continue;
        }
        if (c.db < -90.0) {
            EXPECT_LT(level - full, -90.0) << c.name;
            continue;
        }
        EXPECT_NEAR(level - full, c.db, 1.0) << c.name;
    }
}

TEST(SynthLevel, LowPassFilter)
{
    struct FilterCase {
        const char* name;
        int key;
        std::vector<GenSpec> filter;
        double low, high; // the level change against the open filter, in dB
    };
    const std::vector<FilterCase> cases = {
        {"a high note under a low cutoff drops", 105, {{kGenFilterFc, 6000}}, -60.0, -30.0},
        {"a low note under the same cutoff passes", 45, {{kGenFilterFc, 6000}}, -3.0, 3.0},
        {"resonance lifts a note at the cutoff", 69, {{kGenFilterFc, 6900}, {kGenFilterQ, 200}}, 5.0, 15.0},
        {"modulation envelope opens the cutoff", 105,
         {{kGenFilterFc, 6000}, {kGenModEnvToFilterFc, 7500}, {kGenModEnvHold, 2000}}, -3.0, 3.0},
    };
    for (const FilterCase& c : cases) {
        NoteSetup open, filtered;
        open.key = filtered.key = c.key;
        filtered.instrument = c.filter;
        const double change = SteadyLevel(filtered, c.name, -1) - SteadyLevel(open, c.name, -1);
        EXPECT_GE(change, c.low) << c.name;
        EXPECT_LE(change, c.high) << c.name;
    }
}
