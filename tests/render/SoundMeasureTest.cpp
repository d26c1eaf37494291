#include "tests/synth/SoundMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr double kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

Samples Tone(double seconds, const std::function<double(double)>& wave)
{
    Samples samples(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(wave(static_cast<double>(i) / kRate));
    return samples;
}

// A rich tone: ten harmonics, the second the loudest, as low strings and brass have.
double Rich(double hz, double t)
{
    double sum = 0;
    for (int h = 1; h <= 10; ++h)
        sum += (h == 2 ? 1.0 : 0.5 / h) * std::sin(2 * kPi * hz * h * t + h);
    return 0.2 * sum;
}

TEST(SoundMeasureTest, PitchIsGoodToACentOnSustainedTones)
{
    struct Case {
        const char* name;
        double hz;
        std::function<double(double)> wave;
    };
    const Case cases[] = {
        {"sine 440 Hz", 440, [](double t) { return std::sin(2 * kPi * 440 * t); }},
        {"sine 4186 Hz", 4186.01, [](double t) { return std::sin(2 * kPi * 4186.01 * t); }},
        {"rich 65.4 Hz, second harmonic loudest", 65.406, [](double t) { return Rich(65.406, t); }},
        {"rich 261.6 Hz", 261.626, [](double t) { return Rich(261.626, t); }},
    };
    for (const Case& c : cases) {
        const Samples tone = Tone(0.1, c.wave);
        EXPECT_NEAR(Cents(PitchHz(tone, kRate, c.hz / 1.5, c.hz * 1.5), c.hz), 0, 1) << c.name;
    }
    EXPECT_EQ(PitchHz(Samples(4096, 0.0f), kRate, 100, 1000), 0) << "silence has no pitch";
}

TEST(SoundMeasureTest, LevelCentroidAndDecay)
{
    const Samples sine = Tone(0.2, [](double t) { return 0.5 * std::sin(2 * kPi * 1000 * t); });
    EXPECT_NEAR(Db(RmsOf(sine)), Db(0.5 / std::sqrt(2.0)), 0.01);
    for (double level : RmsFramesDb(sine, 2205))
        EXPECT_NEAR(level, -9.03, 0.05);
    EXPECT_NEAR(SpectralCentroidHz(sine, kRate), 1000, 30);
    const Samples bright = Tone(0.2, [](double t) { return Rich(1000, t); });
    EXPECT_GT(SpectralCentroidHz(bright, kRate), 2000);
    // Falls 60 dB in 0.5 s after 0.1 s of steady level.
    const Samples decaying = Tone(1.0, [](double t) {
        return std::sin(2 * kPi * 500 * t) * (t < 0.1 ? 1.0 : std::pow(10.0, -60.0 / 20 * (t - 0.1) / 0.5));
    });
    EXPECT_NEAR(DecayTime(decaying, kRate, 4410, 441, 60), 0.5, 0.02);
    EXPECT_EQ(DecayTime(sine, kRate, 0, 441, 60), -1);
}

} // namespace
