// The audio output on a real device. Run by device_tests.sh in a Wine session: "sink" with
// Wine's ALSA driver playing into a WAV file (TONEWELL_AUDIO_SINK names it), where every API
// in turn plays a tone that is then read back and measured; "none" with no audio driver
// (TONEWELL_AUDIO_NO_DEVICE), where every open must fail with a reason and never crash.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioOutput.h"
#include "tests/audio/SoundMeasures.h"
#include "tests/audio/WavRecording.h"

namespace {

constexpr double kToneHz = 440.0;
constexpr float kAmplitude = 0.5f;
constexpr double kPi = 3.14159265358979323846;

// The test's render callback: a sine at the rate the output reported, and a count of frames.
struct Tone {
    std::atomic<unsigned> rate {0};
    std::atomic<size_t> frames {0};
    std::atomic<size_t> calls {0};
    double phase = 0.0;

    void Render(float* stereo, size_t count)
    {
        double step = 2 * kPi * kToneHz / rate.load();
        for (size_t i = 0; i < count; ++i) {
            float value = kAmplitude * static_cast<float>(std::sin(phase));
            stereo[2 * i] = value;
            stereo[2 * i + 1] = value;
            phase = std::fmod(phase + step, 2 * kPi);
        }
        frames += count;
        ++calls;
    }
};

std::vector<unsigned char> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

AudioRequest Forced(AudioApiChoice api, unsigned bufferMs = kDefaultBufferMs)
{
    AudioRequest request;
    request.api = api;
    request.fallBack = false;
    request.bufferMs = bufferMs;
    return request;
}

// Each API with a buffer it plays without gaps under Wine on a busy machine: Wine's DirectSound
// mixes its whole buffer at once, and its waveOut player thread, which hands our buffers on,
// has been seen to stall for 60 ms while other programs were being compiled.
struct ApiCase {
    const char* name;
    AudioApiChoice api;
    unsigned bufferMs;
};
const ApiCase kApis[] = {{"wasapi", AudioApiChoice::Wasapi, 30},
    {"directsound", AudioApiChoice::DirectSound, 100}, {"waveout", AudioApiChoice::WaveOut, 200}};

// Plays about a second of the tone through api, closes, and returns what the output said.
AudioStreamInfo PlaySecond(const ApiCase& c, Tone& tone)
{
    CAudioOutput output;
    std::string error;
    bool opened = output.Open(
        Forced(c.api, c.bufferMs), [&tone](float* s, size_t n) { tone.Render(s, n); }, &error);
    EXPECT_TRUE(opened) << c.name << ": " << error;
    if (!opened)
        return {};
    AudioStreamInfo info = output.Info();
    tone.rate = info.format.rate;
    EXPECT_TRUE(output.Start(&error)) << c.name << ": " << error;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (
        tone.frames < info.format.rate && !output.Failed() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(output.Failed()) << c.name << ": " << output.FailureText();
    AudioStatsSnapshot stats = output.Stats();
    output.Close();
    std::printf("%s: %s; %llu buffers, %llu late\n", c.name, DescribeStream(info).c_str(),
        static_cast<unsigned long long>(stats.buffers), static_cast<unsigned long long>(stats.lateBuffers));
    size_t callsAtClose = tone.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(tone.calls.load(), callsAtClose) << c.name << ": the callback ran after Close";
    return info;
}

// Checks rate, pitch and level of the recording; returns what breaks its continuity (a gap, a
// quiet or loud stretch, lost frames), or nothing.
std::string CheckRecording(const ApiCase& c, const AudioStreamInfo& info, const Tone& tone, const std::string& sink)
{
    std::vector<unsigned char> bytes = ReadWholeFile(sink);
    // Kept beside the sink's file for a look after a failure.
    std::ofstream(std::string(sink) + "." + c.name + ".wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    WavRecording recording;
    std::string error = ReadWavRecording(bytes, &recording);
    EXPECT_EQ(error, "") << c.name << ": " << sink;
    if (!error.empty())
        return "";
    EXPECT_EQ(recording.rate, info.format.rate)
        << c.name << ": the device records at another rate than reported";
    SoundSpan span = FindSound(recording.mono, 0.0f);
    size_t heard = span.end - span.begin;
    size_t rendered = tone.frames;
    EXPECT_GT(heard, recording.rate / 2) << c.name << ": less than half a second was recorded";
    if (heard <= recording.rate / 2)
        return "";

    std::vector<float> middle(
        recording.mono.begin() + span.begin + heard / 8, recording.mono.begin() + span.end - heard / 8);
    double pitch = AutocorrelationPitch(middle, recording.rate, 50.0, 2000.0);
    EXPECT_NEAR(Cents(pitch, kToneHz), 0.0, 5.0)
        << c.name << ": measured " << pitch << " Hz at " << recording.rate;
    double expectedDb = 20 * std::log10(kAmplitude / std::sqrt(2.0));
    EXPECT_NEAR(RmsDb(middle, 0, middle.size()), expectedDb, 0.5) << c.name;
    // What was still queued at Close is dropped; nothing else may be lost, nor added (a stall
    // of Wine's adds its silence in the middle).
    std::string problems;
    if (heard > rendered + 1)
        problems += " more recorded than rendered: " + std::to_string(heard) + " of " + std::to_string(rendered) + ";";
    if (heard + info.bufferFrames + 2 * info.periodFrames < rendered)
        problems += " frames lost: " + std::to_string(heard) + " heard of " + std::to_string(rendered) + ";";
    size_t gap = LongestQuietRun(recording.mono, span.begin, span.end, 0.0f);
    if (gap > 4)
        problems += " a gap of " + std::to_string(gap) + " frames;";
    LevelRange levels = WindowLevels(recording.mono, span.begin, span.end, recording.rate / 100);
    if (std::fabs(levels.lowestDb - expectedDb) > 1.0 || std::fabs(levels.highestDb - expectedDb) > 1.0) {
        problems += " 10 ms windows from " + std::to_string(levels.lowestDb) + " to " +
            std::to_string(levels.highestDb) + " dB;";
    }
    return problems;
}

TEST(AudioSinkTest, EveryApiPlaysTheToneAtTheReportedRate)
{
    const char* sink = std::getenv("TONEWELL_AUDIO_SINK");
    if (!sink || !*sink)
        GTEST_SKIP() << "no file sink: run through tests/audio/device_tests.sh sink";
    for (const ApiCase& c : kApis) {
        // Other tries where the sound had a gap: on a machine busy with other work, Wine's own
        // audio threads have been seen to stall. A gap every time still fails.
        std::string problems;
        for (int attempt = 1; attempt <= 3; ++attempt) {
            Tone tone;
            AudioStreamInfo info = PlaySecond(c, tone);
            if (info.format.rate == 0)
                break;
            EXPECT_GT(info.periodFrames, 0u) << c.name;
            EXPECT_GE(info.bufferFrames, info.periodFrames) << c.name;
            EXPECT_GT(info.latencyMs, 0.0) << c.name;
            problems = CheckRecording(c, info, tone, sink);
            if (problems.empty())
                break;
            std::printf("%s, try %d:%s\n", c.name, attempt, problems.c_str());
        }
        EXPECT_EQ(problems, "") << c.name << ": the sound is not continuous";
    }
}

TEST(AudioNoDeviceTest, EveryOpenFailsWithAReason)
{
    if (!std::getenv("TONEWELL_AUDIO_NO_DEVICE")) {
        GTEST_SKIP()
            << "needs a Wine prefix without an audio driver: run through tests/audio/device_tests.sh none";
    }
    struct Case {
        const char* name;
        AudioApiChoice api;
        bool fallBack;
        std::vector<const char*> named;
    };
    const Case cases[] = {
        {"automatic", AudioApiChoice::Automatic, true, {"WASAPI shared mode", "DirectSound", "waveOut"}},
        {"wasapi", AudioApiChoice::Wasapi, false, {"WASAPI shared mode"}},
        {"directsound", AudioApiChoice::DirectSound, false, {"DirectSound"}},
        {"waveout", AudioApiChoice::WaveOut, false, {"waveOut"}},
    };
    for (const Case& c : cases) {
        Tone tone;
        tone.rate = 48000;
        CAudioOutput output;
        AudioRequest request = Forced(c.api);
        request.fallBack = c.fallBack;
        std::string error;
        EXPECT_FALSE(output.Open(
            request, [&tone](float* s, size_t n) { tone.Render(s, n); }, &error))
            << c.name;
        std::printf("%s: %s\n", c.name, error.c_str());
        for (const char* api : c.named)
            EXPECT_NE(error.find(api), std::string::npos) << c.name << ": " << error;
        EXPECT_FALSE(output.IsOpen()) << c.name;
        EXPECT_FALSE(output.Start(&error)) << c.name;
        EXPECT_EQ(error, "No audio output is open") << c.name;
        output.Close();
        EXPECT_EQ(tone.calls.load(), 0u) << c.name;
    }
}

} // namespace
