// Loading a single preset with only its samples, wave files as one-preset fonts, and what
// a font holds in memory.

#include "synth/Generators.h"
#include "tests/synth/SoundMeasure.h"
#include "tests/synth/SynthFontImage.h"
#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kRate = 44100.0;

// Two presets, each with an instrument of its own sample: 0:0 a 440 Hz sine of 4000 words,
// 0:1 an 880 Hz sine of 10000 words.
FontSpec TwoPresets()
{
    FontSpec font = SineFont();
    SampleSpec high = font.samples[0];
    high.name = "high";
    high.words = SineWords(50, 200);
    high.loopStart = 1000;
    high.loopEnd = 9000;
    font.samples.push_back(high);
    font.instruments.push_back({"high", {ZoneSpec{{{kGenSampleModes, 1}}, {}, 1}}});
    font.presets.push_back({"high", 0, 1, {ZoneSpec{{}, {}, 1}}});
    return font;
}

double PlayedHz(const std::shared_ptr<const CSynthFont>& font, int program)
{
    const std::vector<float> out = Play(font, {{0.0, Program(0, program)}, {0.0, NoteOn(0, 69)}}, 0.5);
    return PitchHz(Span(Channel(out, -1), kRate, 0.1, 0.45), kRate);
}

} // namespace

TEST(SynthLoader, OnePresetReadsOnlyItsSamples)
{
    const FontSpec spec = TwoPresets();
    CTempFile file("two-presets.sf2", BuildSoundFont(spec));
    const SynthFontLoad whole = LoadSynthFont(file.Path());
    ASSERT_TRUE(whole.font) << whole.error;
    EXPECT_EQ(whole.font->PresetCount(), 2);

    const SynthFontLoad high = LoadSynthFontPreset(file.Path(), 0, 1);
    ASSERT_TRUE(high.font) << high.error;
    ASSERT_EQ(high.font->PresetCount(), 1);
    EXPECT_EQ(high.font->PresetName(0), "high");
    EXPECT_EQ(high.font->PresetProgram(0), 1);
    EXPECT_EQ(high.font->SampleDataBytes(), 2u * 10000u);
    EXPECT_LT(high.font->SampleDataBytes(), whole.font->SampleDataBytes());
    EXPECT_NEAR(CentsBetween(PlayedHz(high.font, 1), 880.0), 0.0, 1.0);

    const SynthFontLoad missing = LoadSynthFontPreset(file.Path(), 3, 3);
    EXPECT_FALSE(missing.font);
    EXPECT_NE(missing.error.find("3:3"), std::string::npos) << missing.error;
}

TEST(SynthLoader, TwentyFourBitSamplesKeepTheirLowBytesApart)
{
    FontSpec spec = SineFont();
    spec.lowBytes = true;
    const auto font = LoadImage(BuildSoundFont(spec), "sm24");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->SampleLowBytes().size(), font->SampleWords().size());
    EXPECT_EQ(font->SampleDataBytes(), 3 * font->SampleWords().size());
    EXPECT_NEAR(CentsBetween(PlayedHz(font, 0), 440.0), 0.0, 1.0);
}

namespace {

// A wave file of a 440 Hz sine at 44 kHz (100 frames a period), 0.3 s long.
Bytes Wave(int channels, int bits, std::uint16_t formatTag = 1)
{
    const std::vector<std::int16_t> sine = SineWords(100, 132);
    Bytes data;
    for (std::int16_t word : sine) {
        for (int channel = 0; channel < channels; ++channel) {
            const auto bytes = static_cast<std::uint16_t>(word);
            if (bits == 8) {
                data.push_back(static_cast<std::uint8_t>((word >> 8) + 128));
                continue;
            }
            if (bits == 24)
                data.push_back(0x40);
            data.push_back(static_cast<std::uint8_t>(bytes));
            data.push_back(static_cast<std::uint8_t>(bytes >> 8));
        }
    }
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    Bytes format = Concat({U16(formatTag), U16(static_cast<std::uint16_t>(channels)), U32(44000), U32(44000u * align),
                           U16(align), U16(static_cast<std::uint16_t>(bits))});
    if (formatTag == 0xFFFE) // extensible: the PCM sub-format's GUID begins with its tag
        format = Concat({format, U16(22), U16(static_cast<std::uint16_t>(bits)), U32(0), U16(1), Bytes(14, 0)});
    return Riff({Chunk("fmt ", format), Chunk("data", data)}, "RIFF", "WAVE");
}

} // namespace

TEST(SynthLoader, WaveFilesPlayAtRootKey60)
{
    struct WaveCase {
        const char* name;
        int channels, bits;
        std::uint16_t formatTag;
        double db; // each side's level against the first case's
    };
    // A mono file plays in the centre, 3 dB down on each side; a stereo file's channels
    // each play on their own side, as a SoundFont's linked pair panned apart.
    const std::vector<WaveCase> cases = {
        {"16-bit mono", 1, 16, 1, 0.0},   {"8-bit mono", 1, 8, 1, 0.0},          {"24-bit mono", 1, 24, 1, 0.0},
        {"16-bit stereo", 2, 16, 1, 3.01}, {"extensible 16-bit", 1, 16, 0xFFFE, 0.0},
    };
    double reference = 0.0;
    for (const WaveCase& c : cases) {
        CTempFile file(std::string(c.name) + ".wav", Wave(c.channels, c.bits, c.formatTag));
        const SynthFontLoad load = LoadSynthWave(file.Path());
        if (!load.font) {
            ADD_FAILURE() << c.name << ": " << load.error;
            continue;
        }
        EXPECT_EQ(load.font->PresetCount(), 1) << c.name;
        const std::vector<float> out = Play(load.font, {{0.0, NoteOn(0, 60)}}, 0.5);
        for (int side = 0; side < 2; ++side) {
            const std::vector<float> heard = Span(Channel(out, side), kRate, 0.05, 0.25);
            EXPECT_NEAR(CentsBetween(PitchHz(heard, kRate), 440.0), 0.0, 1.0) << c.name << " side " << side;
            if (reference == 0.0)
                reference = RmsDb(heard);
            EXPECT_NEAR(RmsDb(heard) - reference, c.db, 0.3) << c.name << " side " << side;
        }
        // Unlooped: silent once the 0.3 s of data have played.
        EXPECT_LT(RmsDb(Span(Channel(out, -1), kRate, 0.32, 0.5)), -100.0) << c.name;
    }
}

TEST(SynthLoader, WaveFilesThatCantPlay)
{
    struct BadWave {
        const char* name;
        Bytes bytes;
        const char* error;
    };
    const std::vector<BadWave> cases = {
        {"floating point", Wave(1, 16, 3), "PCM"},
        {"12 bits", Wave(1, 12), "bits"},
        {"no data", Riff({Chunk("fmt ", Bytes(16, 1))}, "RIFF", "WAVE"), "data"},
        {"a SoundFont", BuildSoundFont(SineFont()), "not a wave file"},
    };
    for (const BadWave& c : cases) {
        CTempFile file(std::string(c.name) + ".wav", c.bytes);
        const SynthFontLoad load = LoadSynthWave(file.Path());
        EXPECT_FALSE(load.font) << c.name;
        EXPECT_NE(load.error.find(c.error), std::string::npos) << c.name << ": " << load.error;
    }
}
