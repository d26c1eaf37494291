// How notes start, hold and end: loop modes, release, exclusive classes, voice stealing,
// linked stereo samples, the sustain pedal and the channel messages that silence notes.

#include "synth/Generators.h"
#include "tests/synth/SoundMeasure.h"
#include "tests/synth/SynthFontImage.h"
#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kRate = 44100.0;
constexpr double kSilence = -100.0; // dB

bool Sounds(const std::vector<float>& stereo, int side = -1)
{
    return RmsDb(Channel(stereo, side)) > kSilence;
}

// A 0.1 s sine decaying to silence, its loop in the middle, modes and release as given.
FontSpec DecayingFont(std::vector<GenSpec> generators)
{
    FontSpec font;
    SampleSpec sample;
    sample.words = DecayingWords(100, 4410);
    sample.loopStart = 1000;
    sample.loopEnd = 2000;
    sample.originalKey = 69;
    font.samples.push_back(sample);
    font.instruments.push_back({"decaying", {ZoneSpec{std::move(generators), {}, 0}}});
    font.presets.push_back({"decaying", 0, 0, {ZoneSpec{{}, {}, 0}}});
    return font;
}

} // namespace

TEST(SynthVoice, LoopModesAndRelease)
{
    struct LoopCase {
        const char* name;
        std::int16_t mode;
        std::int16_t release; // timecents
        double noteOff;
        double from, to; // the span listened to
        bool sounds;
    };
    const std::int16_t twoSeconds = 1200;
    const std::int16_t instant = -12000;
    const std::vector<LoopCase> cases = {
        {"unlooped ends with its sample though the key is held", 0, instant, 1.0, 0.15, 0.3, false},
        {"looped sounds while the key is held", 1, instant, 1.0, 0.5, 0.6, true},
        {"looped stops after a short release", 1, instant, 0.3, 0.35, 0.5, false},
        {"looped goes on through a long release", 1, twoSeconds, 0.3, 0.45, 0.6, true},
        {"loop until release sounds while the key is held", 3, instant, 1.0, 0.5, 0.6, true},
        {"loop until release then plays to the sample's end", 3, twoSeconds, 0.3, 0.45, 0.6, false},
        {"mode 2 (reserved) plays unlooped", 2, instant, 1.0, 0.15, 0.3, false},
    };
    for (const LoopCase& c : cases) {
        const auto font = LoadImage(BuildSoundFont(DecayingFont({{kGenSampleModes, c.mode}, {kGenVolEnvRelease, c.release}})), c.name);
        ASSERT_TRUE(font);
        const std::vector<float> out = Play(font, {{0.0, NoteOn(0, 69)}, {c.noteOff, NoteOff(0, 69)}}, c.to + 0.01);
        EXPECT_EQ(RmsDb(Span(Channel(out, -1), kRate, c.from, c.to)) > kSilence, c.sounds) << c.name;
    }
}

TEST(SynthVoice, ExclusiveClassCutsTheOtherNoteOfItsChannel)
{
    struct ExclusiveCase {
        const char* name;
        std::int16_t exclusiveClass;
        int secondChannel;
        int voicesAfter;
    };
    const std::vector<ExclusiveCase> cases = {
        {"same class, same channel: the first note stops", 1, 0, 1},
        {"no class: both play", 0, 0, 2},
        {"same class on another channel: both play", 1, 1, 2},
    };
    for (const ExclusiveCase& c : cases) {
        const auto font = LoadImage(BuildSoundFont(SineFont({{kGenExclusiveClass, c.exclusiveClass}})), c.name);
        ASSERT_TRUE(font);
        CSynthSession session;
        session.Synth().SetFont(font);
        session.Post(NoteOn(0, 60));
        session.Render(0.1);
        session.Post(NoteOn(c.secondChannel, 64));
        session.Render(0.05);
        EXPECT_EQ(session.Synth().ActiveVoices(), c.voicesAfter) << c.name;
    }
}

TEST(SynthVoice, StealsReleasedThenQuietestThenOldest)
{
    // Channels 0 and 1 are panned hard left and right, so the side that goes quiet tells
    // which note lost its voice to the third.
    struct StealCase {
        const char* name;
        std::vector<std::uint32_t> first;  // before 0.1 s
        std::vector<std::uint32_t> second; // at 0.1 s; then the third note, on the right
        int silentSide;
    };
    const std::vector<StealCase> cases = {
        {"a released voice goes first", {NoteOn(0, 69), NoteOn(1, 64)}, {NoteOff(1, 64)}, 1},
        {"then the quietest", {NoteOn(0, 69, 20), NoteOn(1, 64, 127)}, {}, 0},
        {"then the oldest", {NoteOn(0, 69)}, {NoteOn(1, 64)}, 0},
    };
    for (const StealCase& c : cases) {
        const auto font = LoadImage(BuildSoundFont(SineFont({{kGenVolEnvRelease, 1200}})), c.name);
        ASSERT_TRUE(font);
        CSynthSession session;
        session.Synth().SetFont(font);
        session.Synth().SetPolyphony(2);
        session.Post(Control(0, 10, 0));
        session.Post(Control(1, 10, 127));
        session.Post(Control(2, 10, 127));
        for (std::uint32_t message : c.first)
            session.Post(message);
        session.Render(0.1);
        for (std::uint32_t message : c.second)
            session.Post(message);
        session.Render(0.1);
        session.Post(NoteOn(c.silentSide == 1 ? 0 : 1, 72)); // lands on the side that keeps sounding
        const std::vector<float> after = session.Render(0.2);
        EXPECT_LE(session.Synth().ActiveVoices(), 2) << c.name;
        EXPECT_LT(RmsDb(Span(Channel(after, c.silentSide), kRate, 0.05, 0.2)), kSilence) << c.name;
        EXPECT_GT(RmsDb(Span(Channel(after, 1 - c.silentSide), kRate, 0.05, 0.2)), kSilence) << c.name;
    }
}

TEST(SynthVoice, LinkedStereoSamplesPlayTogetherEachOnItsSide)
{
    FontSpec spec;
    SampleSpec left, right;
    left.name = "left";
    left.words = SineWords(100, 20);
    left.type = 4;
    left.link = 1;
    right.name = "right";
    right.words = SineWords(50, 40);
    right.type = 2;
    right.link = 0;
    for (SampleSpec* sample : {&left, &right}) {
        sample->loopStart = 0;
        sample->loopEnd = 2000;
        sample->sampleRate = 44000;
        sample->originalKey = 69;
        spec.samples.push_back(*sample);
    }
    spec.instruments.push_back({"stereo",
                                {ZoneSpec{{{kGenSampleModes, 1}, {kGenPan, -500}}, {}, 0},
                                 ZoneSpec{{{kGenSampleModes, 1}, {kGenPan, 500}}, {}, 1}}});
    spec.presets.push_back({"stereo", 0, 0, {ZoneSpec{{}, {}, 0}}});
    const auto font = LoadImage(BuildSoundFont(spec), "stereo");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Sample(0).link, 1);
    EXPECT_EQ(font->Sample(1).link, 0);
    const std::vector<float> out = Play(font, {{0.0, NoteOn(0, 69)}}, 0.5);
    const std::vector<float> leftSide = Span(Channel(out, 0), kRate, 0.1, 0.45);
    const std::vector<float> rightSide = Span(Channel(out, 1), kRate, 0.1, 0.45);
    EXPECT_NEAR(CentsBetween(PitchHz(leftSide, kRate), 440.0), 0.0, 1.0);
    EXPECT_NEAR(CentsBetween(PitchHz(rightSide, kRate), 880.0), 0.0, 1.0);
    EXPECT_NEAR(RmsDb(leftSide), RmsDb(rightSide), 0.5);
}

TEST(SynthVoice, ChannelMessagesThatEndNotes)
{
    struct EndCase {
        const char* name;
        std::vector<std::uint32_t> messages; // after the note has sounded 0.1 s
        bool soundsAfter;
    };
    const std::vector<EndCase> cases = {
        {"note off", {NoteOff(0, 69)}, false},
        {"note on with velocity 0", {NoteOn(0, 69, 0)}, false},
        {"sustain pedal holds a released note", {Control(0, 64, 127), NoteOff(0, 69)}, true},
        {"lifting the pedal releases it", {Control(0, 64, 127), NoteOff(0, 69), Control(0, 64, 0)}, false},
        {"all notes off", {Control(0, 123, 0)}, false},
        {"all sound off", {Control(0, 120, 0)}, false},
        {"system reset", {0xFF}, false},
        {"all notes off on another channel", {Control(1, 123, 0)}, true},
    };
    const auto font = LoadImage(BuildSoundFont(SineFont()), "end");
    ASSERT_TRUE(font);
    for (const EndCase& c : cases) {
        CSynthSession session;
        session.Synth().SetFont(font);
        session.Post(NoteOn(0, 69));
        session.Render(0.1);
        for (std::uint32_t message : c.messages)
            session.Post(message);
        EXPECT_EQ(Sounds(Span(Channel(session.Render(0.2), -1), kRate, 0.05, 0.2)), c.soundsAfter) << c.name;
    }
}

TEST(SynthVoice, ResetControllersCentresThePitchWheel)
{
    const auto font = LoadImage(BuildSoundFont(SineFont()), "reset");
    ASSERT_TRUE(font);
    const std::vector<float> out =
        Play(font, {{0.0, Bend(0, 16383)}, {0.0, NoteOn(0, 69)}, {0.2, Control(0, 121, 0)}}, 0.6);
    EXPECT_NEAR(CentsBetween(PitchHz(Span(Channel(out, -1), kRate, 0.25, 0.55), kRate), 440.0), 0.0, 1.0);
}

TEST(SynthVoice, QueueSaysWhenFull)
{
    CSynthesizer synth(NoEffects());
    int accepted = 0;
    while (accepted < 100000 && synth.PostShortMessage(Control(0, 1, 0)))
        ++accepted;
    EXPECT_GT(accepted, 1000);
    EXPECT_LT(accepted, 100000);
    std::vector<float> out(128);
    synth.Render(out.data(), 64);
    EXPECT_TRUE(synth.PostShortMessage(Control(0, 1, 0)));
}

TEST(SynthVoice, EffectSendsFeedTheReverbAndChorus)
{
    struct EffectCase {
        const char* name;
        bool reverb, chorus;
        int controller; // 91 reverb send, 93 chorus send
        bool tailAfterNote;
    };
    const std::vector<EffectCase> cases = {
        {"reverb send: a tail after the note", true, false, 91, true},
        {"reverb off: no tail", false, false, 91, false},
        {"no send: no tail", true, true, 1, false},
        {"chorus send: a short echo after the note", false, true, 93, true},
    };
    const auto font = LoadImage(BuildSoundFont(SineFont()), "effects");
    ASSERT_TRUE(font);
    for (const EffectCase& c : cases) {
        SynthConfig config;
        config.reverb = c.reverb;
        config.chorus = c.chorus;
        // The note ends at 0.2 s with an instant release; what follows comes from the effects.
        const std::vector<float> out =
            Play(font, {{0.0, Control(0, c.controller, 127)}, {0.0, NoteOn(0, 69)}, {0.2, NoteOff(0, 69)}}, 0.4, config);
        EXPECT_EQ(RmsDb(Span(Channel(out, -1), kRate, 0.205, 0.215)) > kSilence, c.tailAfterNote) << c.name;
    }
}
