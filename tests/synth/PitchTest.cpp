// The pitch a note plays at, by key, root key, tuning generators, the sample's correction,
// modulators and the pitch wheel: measured within a cent.

#include "synth/Generators.h"
#include "tests/synth/SoundMeasure.h"
#include "tests/synth/SynthFontImage.h"
#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

struct PitchCase {
    const char* name;
    std::vector<GenSpec> instrument;
    std::vector<GenSpec> preset;
    std::vector<Modulator> modulators;
    std::vector<std::uint32_t> before; // channel messages before the note
    int key;
    double cents; // expected, from A4 = 440 Hz
    std::int8_t sampleCorrection = 0;
};

// Registered parameter 0 (pitch-bend range) set to semitones and cents.
std::vector<std::uint32_t> BendRange(int semitones, int cents)
{
    return {Control(0, 101, 0), Control(0, 100, 0), Control(0, 6, semitones), Control(0, 38, cents)};
}

const double kFullBendUp = 8191.0 / 8192.0;

std::vector<PitchCase> Cases()
{
    // CC21 (a general-purpose controller, linear unipolar) to fine tune, 100 cents at full scale.
    const Modulator cc21ToPitch{0x0095, kGenFineTune, 100, 0, 0};
    std::vector<std::uint32_t> fullBend = {Bend(0, 16383)};
    std::vector<std::uint32_t> rangeTwelveDown = BendRange(12, 0);
    rangeTwelveDown.push_back(Bend(0, 0));
    std::vector<std::uint32_t> rangeOneHalfUp = BendRange(1, 50);
    rangeOneHalfUp.push_back(Bend(0, 16383));
    return {
        {"root key", {}, {}, {}, {}, 69, 0.0},
        {"an octave above the root", {}, {}, {}, {}, 81, 1200.0},
        {"a fifth below", {}, {}, {}, {}, 62, -700.0},
        {"overriding root key 57", {{kGenOverridingRootKey, 57}}, {}, {}, {}, 69, 1200.0},
        {"coarse tune +3", {{kGenCoarseTune, 3}}, {}, {}, {}, 69, 300.0},
        {"fine tune -37", {{kGenFineTune, -37}}, {}, {}, {}, 69, -37.0},
        {"preset coarse adds to instrument coarse", {{kGenCoarseTune, 2}}, {{kGenCoarseTune, -14}}, {}, {}, 69, -1200.0},
        {"scale tuning 50 an octave up", {{kGenScaleTuning, 50}}, {}, {}, {}, 81, 600.0},
        {"scale tuning 0", {{kGenScaleTuning, 0}}, {}, {}, {}, 40, 0.0},
        {"sample pitch correction +23", {}, {}, {}, {}, 69, 23.0, 23},
        {"keynum generator fixes the key", {{kGenKeynum, 57}}, {}, {}, {}, 81, -1200.0},
        {"pitch wheel full up, default range", {}, {}, {}, fullBend, 69, 200.0 * kFullBendUp},
        {"pitch wheel down, range 12", {}, {}, {}, rangeTwelveDown, 69, -1200.0},
        {"pitch wheel up, range 1.5", {}, {}, {}, rangeOneHalfUp, 69, 150.0 * kFullBendUp},
        {"modulation envelope to pitch, during its hold", {{kGenModEnvToPitch, 1200}, {kGenModEnvHold, 1200}}, {}, {}, {}, 69, 1200.0},
        {"file modulator CC21 to fine tune", {}, {}, {cc21ToPitch}, {Control(0, 21, 127)}, 69, 100.0 * 127.0 / 128.0},
    };
}

} // namespace

TEST(SynthPitch, EachCaseWithinOneCent)
{
    for (const PitchCase& c : Cases()) {
        FontSpec spec = SineFont(c.instrument, c.preset, c.modulators);
        spec.samples[0].pitchCorrection = c.sampleCorrection;
        const auto font = LoadImage(BuildSoundFont(spec), c.name);
        ASSERT_TRUE(font);
        std::vector<TimedMessage> messages;
        for (std::uint32_t message : c.before)
            messages.push_back({0.0, message});
        messages.push_back({0.0, NoteOn(0, c.key)});
        const std::vector<float> out = Play(font, messages, 0.5);
        const double hz = PitchHz(Span(Channel(out, -1), 44100.0, 0.1, 0.45), 44100.0);
        ASSERT_GT(hz, 0.0) << c.name << ": no pitch found";
        EXPECT_NEAR(CentsBetween(hz, 440.0), c.cents, 1.0) << c.name << ": " << hz << " Hz";
    }
}

TEST(SynthPitch, FollowsTheOutputRate)
{
    for (double rate : {22050.0, 48000.0, 96000.0}) {
        const auto font = LoadImage(BuildSoundFont(SineFont()), "rate");
        ASSERT_TRUE(font);
        SynthConfig config = NoEffects();
        config.sampleRate = rate;
        const std::vector<float> out = Play(font, {{0.0, NoteOn(0, 69)}}, 0.5, config);
        const double hz = PitchHz(Span(Channel(out, -1), rate, 0.1, 0.45), rate);
        EXPECT_NEAR(CentsBetween(hz, 440.0), 0.0, 1.0) << rate << " Hz output: " << hz << " Hz";
    }
}

TEST(SynthPitch, LfosSwingPitchAndLevel)
{
    // 2 Hz: 1200 x log2(2 / 8.176) absolute cents.
    const std::int16_t twoHz = -2437;
    struct LfoCase {
        const char* name;
        std::vector<GenSpec> generators;
        double pitchSwing; // cents either way
        double levelSwing; // dB from the loudest frame to the quietest
    };
    const std::vector<LfoCase> cases = {
        {"vibrato LFO to pitch", {{kGenVibLfoFreq, twoHz}, {kGenVibLfoToPitch, 100}}, 100.0, 0.0},
        {"modulation LFO to pitch", {{kGenModLfoFreq, twoHz}, {kGenModLfoToPitch, -50}}, 50.0, 0.0},
        // It cuts by up to 6 dB and never lifts the note above the envelope's full level.
        {"modulation LFO to volume", {{kGenModLfoFreq, twoHz}, {kGenModLfoToVolume, 60}}, 0.0, 6.0},
    };
    for (const LfoCase& c : cases) {
        const auto font = LoadImage(BuildSoundFont(SineFont(c.generators)), c.name);
        ASSERT_TRUE(font);
        const std::vector<float> mono = Channel(Play(font, {{0.0, NoteOn(0, 69)}}, 1.1), -1);
        double lowest = 1e9, highest = -1e9, quietest = 1e9, loudest = -1e9;
        for (double at = 0.05; at < 1.05; at += 0.02) {
            const std::vector<float> window = Span(mono, 44100.0, at, at + 0.025);
            const double cents = CentsBetween(PitchHz(window, 44100.0, 200.0, 2000.0), 440.0);
            lowest = std::min(lowest, cents);
            highest = std::max(highest, cents);
            quietest = std::min(quietest, RmsDb(window));
            loudest = std::max(loudest, RmsDb(window));
        }
        EXPECT_NEAR(highest, c.pitchSwing, 10.0) << c.name;
        EXPECT_NEAR(lowest, -c.pitchSwing, 10.0) << c.name;
        EXPECT_NEAR(loudest - quietest, c.levelSwing, 1.5) << c.name;
    }
}
