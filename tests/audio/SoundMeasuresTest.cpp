// The measures the audio tests judge recordings by: a wrong pitch meter would pass a detuned
// output, so it is held to a cent on tones of known pitch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/audio/SoundMeasures.h"
#include "tests/audio/WavRecording.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> Sine(double hz, unsigned rate, size_t frames, float amplitude, double phase = 0.3)
{
    std::vector<float> samples(frames);
    for (size_t n = 0; n < frames; ++n)
        samples[n] = amplitude * static_cast<float>(std::sin(phase + 2 * kPi * hz * n / rate));
    return samples;
}

TEST(SoundMeasuresTest, PitchOfKnownTonesWithinACent)
{
    struct Case {
        double hz;
        unsigned rate;
        double seconds;
    };
    const Case cases[] = {{440.0, 48000, 1.0}, {440.0, 44100, 1.0}, {441.0, 44100, 0.5}, {110.0, 48000, 1.0},
        {1046.5, 48000, 0.3}, {440.0 * std::pow(2.0, 5.0 / 1200), 48000, 1.0}};
    for (const Case& c : cases) {
        auto samples = Sine(c.hz, c.rate, static_cast<size_t>(c.seconds * c.rate), 0.5f);
        double measured = AutocorrelationPitch(samples, c.rate, 50.0, 2000.0);
        EXPECT_NEAR(Cents(measured, c.hz), 0.0, 1.0)
            << c.hz << " Hz at " << c.rate << " Hz: measured " << measured;
    }
}

TEST(SoundMeasuresTest, RichToneMeasuresItsFundamental)
{
    auto samples = Sine(220.0, 48000, 48000, 0.3f);
    auto octave = Sine(440.0, 48000, 48000, 0.4f, 1.0);
    for (size_t n = 0; n < samples.size(); ++n)
        samples[n] += octave[n];
    EXPECT_NEAR(Cents(AutocorrelationPitch(samples, 48000, 50.0, 2000.0), 220.0), 0.0, 1.0);
}

TEST(SoundMeasuresTest, ToneLevelHearsOneNoteApartFromAnother)
{
    // A4 and E4 at half scale, sounding together, as the card's cases play them.
    auto a4 = Sine(440.0, 48000, 9600, 0.5f);
    auto e4 = Sine(329.63, 48000, 9600, 0.5f, 1.1);
    auto near = Sine(472.5, 48000, 9600, 0.5f);
    auto both = a4;
    for (size_t n = 0; n < both.size(); ++n)
        both[n] += e4[n];
    const double halfScale = 20 * std::log10(0.5 / std::sqrt(2.0));
    struct Case {
        const char* name;
        const std::vector<float>& samples;
        double hz;
        double expectedDb; // or at most this, for a tone that is not there
        bool present;
    };
    const Case cases[] = {
        {"A4 alone", a4, 440.0, halfScale, true},
        {"A4 beside E4", both, 440.0, halfScale, true},
        {"E4 beside A4", both, 329.63, halfScale, true},
        {"A4 where E4 alone sounds", e4, 440.0, halfScale - 90.0, false},
        {"A4 where a tone 32.5 Hz above it sounds", near, 440.0, halfScale - 50.0, false},
    };
    for (const Case& c : cases) {
        const double db = ToneLevelDb(c.samples, 0, c.samples.size(), 48000, c.hz);
        if (c.present)
            EXPECT_NEAR(db, c.expectedDb, 0.1) << c.name;
        else
            EXPECT_LT(db, c.expectedDb) << c.name;
    }
    EXPECT_LE(ToneLevelDb(std::vector<float>(4800, 0.0f), 0, 4800, 48000, 440.0), -200.0) << "silence";

    // A4 stops halfway: the loudest window hears it, the quietest does not.
    auto stops = a4;
    std::fill(stops.begin() + 4800, stops.end(), 0.0f);
    LevelRange levels = ToneLevels(stops, 0, stops.size(), 48000, 440.0, 1200);
    EXPECT_NEAR(levels.highestDb, halfScale, 0.1);
    EXPECT_LT(levels.lowestDb, -150.0);
}

TEST(SoundMeasuresTest, SilenceAndNoiseHaveNoPitch)
{
    EXPECT_EQ(AutocorrelationPitch(std::vector<float>(48000, 0.0f), 48000, 50.0, 2000.0), 0.0);
    EXPECT_EQ(AutocorrelationPitch(std::vector<float>(100, 0.5f), 48000, 50.0, 2000.0), 0.0) << "too short";
}

TEST(SoundMeasuresTest, LevelSpanAndGaps)
{
    auto samples = Sine(440.0, 48000, 4800, 0.5f);
    samples.insert(samples.begin(), 100, 0.0f);
    samples.insert(samples.end(), 50, 0.0f);
    SoundSpan span = FindSound(samples, 1e-4f);
    EXPECT_LE(span.begin, 101u);
    EXPECT_GE(span.end, samples.size() - 52);
    EXPECT_NEAR(RmsDb(samples, 100, 4900), 20 * std::log10(0.5 / std::sqrt(2.0)), 0.05);
    EXPECT_LE(LongestQuietRun(samples, span.begin, span.end, 0.0f), 2u) << "a sine has no run of zeros";

    for (size_t n = 2000; n < 2064; ++n)
        samples[n] = 0.0f;
    EXPECT_GE(LongestQuietRun(samples, span.begin, span.end, 0.0f), 64u);
    LevelRange levels = WindowLevels(samples, span.begin, span.end, 480);
    EXPECT_LT(levels.lowestDb, levels.highestDb - 0.3) << "the window with the gap is quieter";
}

void Put16(std::vector<unsigned char>& bytes, unsigned value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}
void Put32(std::vector<unsigned char>& bytes, uint32_t value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}
void PutTag(std::vector<unsigned char>& bytes, const char* tag)
{
    bytes.insert(bytes.end(), tag, tag + 4);
}

// A 16-bit stereo file as a recording sink writes it; dataSize as written in its header.
std::vector<unsigned char> StereoWav(const std::vector<int16_t>& interleaved, uint32_t dataSize)
{
    std::vector<unsigned char> bytes;
    PutTag(bytes, "RIFF");
    Put32(bytes, 36 + dataSize);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    Put32(bytes, 16);
    Put16(bytes, 1);
    Put16(bytes, 2);
    Put32(bytes, 48000);
    Put32(bytes, 48000 * 4);
    Put16(bytes, 4);
    Put16(bytes, 16);
    PutTag(bytes, "data");
    Put32(bytes, dataSize);
    for (int16_t sample : interleaved)
        Put16(bytes, static_cast<uint16_t>(sample));
    return bytes;
}

TEST(WavRecordingTest, ReadsTheMonoMixOfAStereoFile)
{
    const std::vector<int16_t> samples = {16384, 0, -32768, -32768, 100, -100};
    struct Case {
        const char* name;
        uint32_t dataSize;
    };
    const Case cases[] = {{"sizes filled in", 12}, {"size never filled in", 0x7FFFFFFF}};
    for (const Case& c : cases) {
        WavRecording recording;
        ASSERT_EQ(ReadWavRecording(StereoWav(samples, c.dataSize), &recording), "") << c.name;
        EXPECT_EQ(recording.rate, 48000u) << c.name;
        EXPECT_EQ(recording.channels, 2u) << c.name;
        EXPECT_EQ(recording.mono, (std::vector<float> {0.25f, -1.0f, 0.0f})) << c.name;
    }
}

TEST(WavRecordingTest, DamagedFilesSayWhy)
{
    auto good = StereoWav({1, 2}, 4);
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* says;
    };
    auto notWave = good;
    notWave[8] = 'X';
    auto noData = std::vector<unsigned char>(good.begin(), good.begin() + 36);
    auto badBits = good;
    badBits[34] = 12;
    const Case cases[] = {{"empty", {}, "not a RIFF WAVE file"},
        {"not WAVE", notWave, "not a RIFF WAVE file"}, {"no data chunk", noData, "no data chunk"},
        {"12-bit samples", badBits, "12-bit samples"}};
    for (const Case& c : cases) {
        WavRecording recording;
        std::string error = ReadWavRecording(c.bytes, &recording);
        EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    }
}

} // namespace
