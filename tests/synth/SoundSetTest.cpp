// Which preset a channel plays (bank select, drum channel, fallbacks), sound sets placing
// presets at other banks, and swapping sets while notes sound.

#include "synth/Generators.h"
#include "synth/SoundSet.h"
#include "tests/synth/SoundMeasure.h"
#include "tests/synth/SynthFontImage.h"
#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kRate = 44100.0;
constexpr double kSilent = -1.0;

// Presets told apart by their pitch: each transposes the sine by its own coarse tune.
FontSpec PresetsByPitch()
{
    FontSpec font = SineFont();
    struct Place {
        std::uint16_t bank, program;
        std::int16_t semitones;
    };
    const Place places[] = {{0, 5, 1}, {128, 0, 2}, {128, 16, 3}, {2, 5, 4}};
    for (const Place& place : places) {
        font.presets.push_back({"p", place.bank, place.program,
                                {ZoneSpec{{{kGenCoarseTune, place.semitones}}, {}, 0}}});
    }
    return font;
}

// The semitones above A4 the channel played, or kSilent.
double PlayedSemitones(const std::shared_ptr<const CSoundSet>& set, int channel, const std::vector<std::uint32_t>& before)
{
    CSynthSession session;
    session.Synth().SetSoundSet(set);
    for (std::uint32_t message : before)
        session.Post(message);
    session.Post(NoteOn(channel, 69));
    const std::vector<float> mono = Span(Channel(session.Render(0.5), -1), kRate, 0.1, 0.45);
    if (RmsDb(mono) < -100.0)
        return kSilent;
    return CentsBetween(PitchHz(mono, kRate), 440.0) / 100.0;
}

std::shared_ptr<const CSoundSet> SetOf(const std::shared_ptr<const CSynthFont>& font)
{
    CSoundSetBuilder builder;
    builder.AddFont(font);
    return builder.Build();
}

} // namespace

TEST(SynthSoundSet, ChannelFindsItsPreset)
{
    struct SelectCase {
        const char* name;
        int channel;
        std::vector<std::uint32_t> before;
        double semitones;
    };
    const std::vector<SelectCase> cases = {
        {"bank 0 program 0 at power-on", 0, {}, 0},
        {"program change", 0, {Program(0, 5)}, 1},
        {"bank select then program", 0, {Control(0, 0, 2), Program(0, 5)}, 4},
        {"bank LSB takes no part", 0, {Control(0, 32, 2), Program(0, 5)}, 1},
        {"a missing bank falls back to bank 0", 0, {Control(0, 0, 9), Program(0, 5)}, 1},
        {"a program in no bank is silent", 0, {Program(0, 9)}, kSilent},
        {"channel 10 plays bank 128", 9, {}, 2},
        {"channel 10 program change", 9, {Program(9, 16)}, 3},
        {"a missing kit falls back to kit 0", 9, {Program(9, 40)}, 2},
        {"system reset selects program 0 again", 0, {Program(0, 5), 0xFF}, 0},
    };
    const auto font = LoadImage(BuildSoundFont(PresetsByPitch()), "select");
    ASSERT_TRUE(font);
    const auto set = SetOf(font);
    for (const SelectCase& c : cases) {
        const double played = PlayedSemitones(set, c.channel, c.before);
        if (c.semitones == kSilent) {
            EXPECT_EQ(played, kSilent) << c.name;
        } else {
            EXPECT_NEAR(played, c.semitones, 0.01) << c.name;
        }
    }
}

TEST(SynthSoundSet, PresetsPlacedAtOtherBanks)
{
    const auto font = LoadImage(BuildSoundFont(PresetsByPitch()), "placed");
    ASSERT_TRUE(font);
    CSoundSetBuilder builder;
    builder.AddPreset(7, 3, font, 1);       // program 5's preset at 7:3
    builder.AddPreset(7, 4, font, 99);      // no such preset: ignored
    builder.AddFont(font);
    builder.AddPreset(0, 0, font, 2);       // added last: replaces 0:0
    builder.AddPreset(128 + 7, 0, font, 3); // kit 16 placed as a card places bank 7's kits
    const auto set = builder.Build();
    EXPECT_FALSE(set->Find(7, 4));
    EXPECT_NEAR(PlayedSemitones(set, 0, {Control(0, 0, 7), Program(0, 3)}), 1, 0.01);
    EXPECT_NEAR(PlayedSemitones(set, 0, {}), 2, 0.01);
    EXPECT_NEAR(PlayedSemitones(set, 9, {Control(9, 0, 7), Program(9, 0)}), 3, 0.01) << "the kits placed for bank 7";
    EXPECT_NEAR(PlayedSemitones(set, 9, {Control(9, 0, 8), Program(9, 0)}), 2, 0.01) << "no kits for bank 8: the drum bank";
}

TEST(SynthSoundSet, SwapFadesOnlyTheNotesOfFontsThatLeft)
{
    const auto first = LoadImage(BuildSoundFont(SineFont()), "first");
    const auto second = LoadImage(BuildSoundFont(SineFont()), "second");
    ASSERT_TRUE(first && second);
    {
        CSynthSession session;
        session.Synth().SetSoundSet(SetOf(first));
        session.Post(NoteOn(0, 69));
        session.Render(0.1);

        // A set that still holds the font: the note plays on.
        CSoundSetBuilder keeps;
        keeps.AddFont(first);
        keeps.AddFont(second);
        session.Synth().SetSoundSet(keeps.Build());
        session.Render(0.1);
        EXPECT_EQ(session.Synth().ActiveVoices(), 1);

        // One without it: the note fades within a few milliseconds, without a click.
        session.Synth().SetSoundSet(SetOf(second));
        const std::vector<float> fade = Channel(session.Render(0.05), -1);
        EXPECT_EQ(session.Synth().ActiveVoices(), 0);
        EXPECT_LT(RmsDb(Span(fade, kRate, 0.02, 0.05)), -100.0);
        // The first millisecond of the fade stays within the level the note had.
        EXPECT_LT(PeakAbs(Span(fade, kRate, 0.0, 0.001)), 0.1);
    }
}

TEST(SynthSoundSet, ReleasedSetsAreFreedOffTheRenderThread)
{
    std::weak_ptr<const CSynthFont> alive;
    CSynthSession session;
    {
        const auto font = LoadImage(BuildSoundFont(SineFont()), "freed");
        ASSERT_TRUE(font);
        alive = font;
        session.Synth().SetFont(font);
    }
    session.Post(NoteOn(0, 69));
    session.Render(0.1);
    session.Synth().SetSoundSet(nullptr);
    session.Synth().CollectGarbage();
    EXPECT_FALSE(alive.expired()) << "a voice still read it when the set was swapped";
    session.Render(0.05);
    session.Synth().CollectGarbage();
    EXPECT_TRUE(alive.expired());
}
