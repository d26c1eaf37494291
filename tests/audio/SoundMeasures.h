#pragma once
// Measures of a recorded tone: its pitch, its level and the gaps in it.
#include <cstddef>
#include <vector>

// The fundamental in Hz by autocorrelation: the first strong peak between the lags of maxHz
// and minHz, then the peak near the multiple of it that lies about a quarter of the samples
// away, each placed between lags by a parabola through its three values; the far peak divides
// the error of the near one by its multiple. 0 when nothing periodic is found.
double AutocorrelationPitch(const std::vector<float>& samples, unsigned rate, double minHz, double maxHz);

// Cents from reference to hz.
double Cents(double hz, double reference);

// RMS of samples [begin, end) in dB full scale (a full-scale sine is -3 dB).
double RmsDb(const std::vector<float>& samples, size_t begin, size_t end);

// The level of the component at hz alone in [begin, end), in dB full scale as RmsDb counts
// (a full-scale sine at hz is -3 dB): a Hann-windowed transform at that one frequency, so that
// one note is heard apart from another sounding with it. Over 0.2 s, a tone 30 Hz away is
// kept out by more than 50 dB, one 100 Hz away by more than 90 dB.
double ToneLevelDb(const std::vector<float>& samples, size_t begin, size_t end, unsigned rate, double hz);

struct SoundSpan {
    size_t begin = 0; // the first sample above the threshold
    size_t end = 0; // one after the last
};
SoundSpan FindSound(const std::vector<float>& samples, float threshold);

// The longest run of samples at or below threshold (absolute) inside [begin, end).
size_t LongestQuietRun(const std::vector<float>& samples, size_t begin, size_t end, float threshold);

// The quietest and loudest RMS in dB over windows of window samples inside [begin, end).
struct LevelRange {
    double lowestDb = 0.0;
    double highestDb = 0.0;
};
LevelRange WindowLevels(const std::vector<float>& samples, size_t begin, size_t end, size_t window);
// The same for ToneLevelDb at hz, over windows that overlap by half: for a sound whose level
// beats, whether it sounds at all.
LevelRange ToneLevels(const std::vector<float>& samples, size_t begin, size_t end, unsigned rate, double hz,
                      size_t window);
