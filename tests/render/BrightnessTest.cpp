#include "tests/synth/Brightness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// `harmonics` harmonics of `hz`, the h-th at amplitude 1/h.
std::vector<float> Tone(double hz, int harmonics)
{
    std::vector<float> samples(8192);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        double sum = 0;
        for (int h = 1; h <= harmonics; ++h)
            sum += std::sin(2 * kPi * hz * h * static_cast<double>(i) / kRate) / h;
        samples[i] = static_cast<float>(0.1 * sum);
    }
    return samples;
}

TEST(SpectralCentroidTest, IsTheMeanFrequencyWeightedByAmplitude)
{
    struct Case {
        const char* name;
        double hz;
        int harmonics;
        double expected;
    };
    // Of harmonics 1..n at 1/h: sum(h * hz / h) / sum(1 / h) = n * hz / H(n).
    const Case cases[] = {
        {"a sine", 1000, 1, 1000},
        {"two harmonics", 500, 2, 2 * 500 / 1.5},
        {"ten harmonics of a low note", 110, 10, 10 * 110 / 2.9289683},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(SpectralCentroidHz(Tone(c.hz, c.harmonics), kRate), c.expected, 0.03 * c.expected) << c.name;
    EXPECT_EQ(SpectralCentroidHz(std::vector<float>(8192, 0.0f), kRate), 0) << "silence";
}

} // namespace
