// The portable parts of the audio output: which APIs are tried, the conversion into a
// device's format, and the pump that fills a device's buffer from the render callback.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "audio/AudioApi.h"
#include "audio/AudioStreamInfo.h"
#include "audio/DeviceFormat.h"
#include "audio/RenderPump.h"

namespace {

TEST(AudioApiTest, ApisTriedForEachChoice)
{
    using A = AudioApi;
    struct Case {
        const char* name;
        AudioApiChoice choice;
        bool fallBack;
        std::vector<AudioApi> expected;
    };
    const Case cases[] = {
        {"automatic", AudioApiChoice::Automatic, true, {A::Wasapi, A::DirectSound, A::WaveOut}},
        {"automatic without fallback", AudioApiChoice::Automatic, false,
            {A::Wasapi, A::DirectSound, A::WaveOut}},
        {"DirectSound first", AudioApiChoice::DirectSound, true, {A::DirectSound, A::Wasapi, A::WaveOut}},
        {"waveOut first", AudioApiChoice::WaveOut, true, {A::WaveOut, A::Wasapi, A::DirectSound}},
        {"WASAPI forced", AudioApiChoice::Wasapi, false, {A::Wasapi}},
        {"DirectSound forced", AudioApiChoice::DirectSound, false, {A::DirectSound}},
        {"waveOut forced", AudioApiChoice::WaveOut, false, {A::WaveOut}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AudioApisToTry(c.choice, c.fallBack), c.expected) << c.name;
    }
}

TEST(AudioApiTest, ChoiceKeysReadBackAndUnknownKeysAreRefused)
{
    for (AudioApiChoice choice : {AudioApiChoice::Automatic, AudioApiChoice::Wasapi,
             AudioApiChoice::DirectSound, AudioApiChoice::WaveOut}) {
        AudioApiChoice read = AudioApiChoice::Automatic;
        ASSERT_TRUE(ParseAudioApiChoice(AudioApiChoiceKey(choice), &read)) << AudioApiChoiceKey(choice);
        EXPECT_EQ(read, choice) << AudioApiChoiceKey(choice);
    }
    AudioApiChoice read = AudioApiChoice::WaveOut;
    EXPECT_TRUE(ParseAudioApiChoice("DirectSound", &read));
    EXPECT_EQ(read, AudioApiChoice::DirectSound);
    for (const char* bad : {"", "asio", "wasapi ", "dsound"}) {
        read = AudioApiChoice::WaveOut;
        EXPECT_FALSE(ParseAudioApiChoice(bad, &read)) << "'" << bad << "'";
        EXPECT_EQ(read, AudioApiChoice::WaveOut) << "'" << bad << "' changed the choice";
    }
}

TEST(DeviceFormatTest, Int16SamplesAreRoundedAndClipped)
{
    struct Case {
        float in;
        int16_t out;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {{0.0f, 0}, {0.5f, 16384}, {-0.5f, -16384}, {1.0f, 32767}, {-1.0f, -32767},
        {1.5f, 32767}, {-1.5f, -32768}, {nan, 0}, {inf, 0}, {-inf, 0}};
    DeviceFormat mono {SampleKind::Int16, 1, 48000};
    for (const Case& c : cases) {
        float stereo[2] = {c.in, c.in};
        int16_t out = 12345;
        ConvertStereo(stereo, 1, mono, &out);
        EXPECT_EQ(out, c.out) << "input " << c.in;
    }
}

TEST(DeviceFormatTest, StereoIsSpreadOverTheDevicesChannels)
{
    const float stereo[4] = {0.25f, -0.75f, 1.0f, 0.5f};
    struct Case {
        const char* name;
        unsigned channels;
        std::vector<float> expected;
    };
    const Case cases[] = {
        {"mono: the mean", 1, {-0.25f, 0.75f}},
        {"stereo", 2, {0.25f, -0.75f, 1.0f, 0.5f}},
        {"5.1: front pair, silence elsewhere", 6, {0.25f, -0.75f, 0, 0, 0, 0, 1.0f, 0.5f, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::vector<float> out(c.expected.size() + 1, 9.0f); // the sentinel after must stay
        ConvertStereo(stereo, 2, DeviceFormat {SampleKind::Float32, c.channels, 48000}, out.data());
        EXPECT_EQ(std::vector<float>(out.begin(), out.end() - 1), c.expected) << c.name;
        EXPECT_EQ(out.back(), 9.0f) << c.name << ": wrote past the frames";
    }
}

TEST(DeviceFormatTest, FramesForMilliseconds)
{
    struct Case {
        unsigned rate, ms, frames;
    };
    const Case cases[] = {{48000, 10, 480}, {44100, 10, 441}, {44100, 1, 44}, {22050, 30, 662}, {8000, 0, 1},
        {192000, 1000, 192000}};
    for (const Case& c : cases) {
        EXPECT_EQ(FramesForMs(c.rate, c.ms), c.frames) << c.rate << " Hz, " << c.ms << " ms";
    }
    EXPECT_EQ(ClampBufferMs(0), kMinBufferMs);
    EXPECT_EQ(ClampBufferMs(100000), kMaxBufferMs);
    EXPECT_EQ(ClampBufferMs(40), 40u);
}

// A buffer longer than the scratch is rendered in several calls, in order, with nothing lost
// or repeated, and the callback always starts from silence.
TEST(RenderPumpTest, LongBuffersAreRenderedInChunksInOrder)
{
    std::vector<size_t> asked;
    float next = 0.0f;
    RenderCallback ramp = [&](float* stereo, size_t frames) {
        asked.push_back(frames);
        for (size_t i = 0; i < frames; ++i) {
            EXPECT_EQ(stereo[2 * i], 0.0f) << "the scratch was not cleared";
            stereo[2 * i] = next / 32768.0f;
            stereo[2 * i + 1] = -next / 32768.0f;
            next += 1.0f;
        }
    };
    CRenderPump pump(ramp, DeviceFormat {SampleKind::Int16, 2, 44100}, 64);
    std::vector<int16_t> out(2 * 150 + 2, 7);
    pump.Fill(out.data(), 150);
    EXPECT_EQ(asked, (std::vector<size_t> {64, 64, 22}));
    for (int frame = 0; frame < 150; ++frame) {
        ASSERT_EQ(out[2 * frame], frame) << "frame " << frame;
        ASSERT_EQ(out[2 * frame + 1], -frame) << "frame " << frame;
    }
    EXPECT_EQ(out[300], 7) << "wrote past the buffer";
    EXPECT_EQ(pump.FramesRendered(), 150u);

    asked.clear();
    std::vector<int16_t> partial(8, 7);
    pump.FillBytes(partial.data(), 15); // three whole frames of 4 bytes, and 3 bytes left alone
    EXPECT_EQ(asked, (std::vector<size_t> {3}));
    EXPECT_EQ(partial[6], 7);
}

// The watch by which latency is measured: armed, it stamps the handing of the buffer that
// holds the first sample 16-bit sound would not write as zero, and only that one.
TEST(RenderPumpTest, FirstSoundIsStampedWhenItsBufferIsHanded)
{
    const float quiet = 0.4f / 32768.0f;
    float level = 0.0f;
    size_t soundAt = 0, rendered = 0;
    RenderCallback tone = [&](float* stereo, size_t frames) {
        for (size_t i = 0; i < frames; ++i, ++rendered)
            stereo[2 * i + 1] = rendered >= soundAt ? level : 0.0f;
    };
    CFirstSoundWatch watch;
    CRenderPump pump(tone, DeviceFormat {SampleKind::Float32, 2, 48000}, 32, &watch);
    std::vector<float> out(2 * 100);
    struct Step {
        const char* name;
        bool arm;
        float level;
        size_t soundAt; // from the start of this buffer
        bool stamped;   // once the buffer is handed
    };
    const Step steps[] = {
        {"sound while not armed", false, 0.5f, 0, false},
        {"armed, silence", true, 0.0f, 0, false},
        {"below half a 16-bit step", false, quiet, 0, false},
        {"sound in the third chunk", false, 0.5f, 70, true},
        {"sound again, not armed again", false, 0.5f, 0, false},
    };
    for (const Step& step : steps) {
        if (step.arm)
            watch.Arm();
        level = step.level;
        soundAt = rendered + step.soundAt;
        int64_t before = watch.HandedAtNs();
        pump.Fill(out.data(), 100);
        EXPECT_EQ(watch.HandedAtNs(), before) << step.name << ": stamped before the buffer was handed";
        watch.Handed();
        EXPECT_EQ(watch.HandedAtNs() != before, step.stamped) << step.name;
    }
}

TEST(AudioStreamInfoTest, DescriptionNamesApiFormatAndTimes)
{
    AudioStreamInfo info;
    info.api = AudioApi::DirectSound;
    info.format = DeviceFormat {SampleKind::Int16, 2, 44100};
    info.periodFrames = 441;
    info.bufferFrames = 1323;
    info.latencyMs = 30.0;
    EXPECT_EQ(DescribeStream(info),
        "DirectSound: 44100 Hz, 2 channels, 16-bit; period 441 frames (10.0 ms), buffer 1323 frames (30.0 "
        "ms), "
        "latency 30.0 ms");
}

} // namespace
