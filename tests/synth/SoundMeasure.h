#pragma once
// Measuring rendered sound in tests: pitch by autocorrelation (interpolated between lags),
// RMS level in dB over a span or in frames, and the channels of interleaved stereo.

#include <cstddef>
#include <vector>

// One side (0 left, 1 right) or the mono mix (-1) of interleaved stereo frames.
std::vector<float> Channel(const std::vector<float>& stereo, int side);
// The frames [from, to) seconds of a mono signal at the rate.
std::vector<float> Span(const std::vector<float>& mono, double rate, double from, double to);

// The fundamental of a steady tone between minHz and maxHz; 0 when none is found.
double PitchHz(const std::vector<float>& mono, double rate, double minHz = 40.0, double maxHz = 5000.0);
double CentsBetween(double hz, double referenceHz);

double RmsDb(const std::vector<float>& mono);          // -300 for silence
double PeakAbs(const std::vector<float>& samples);
// RMS in dB of consecutive frames of frameSeconds.
std::vector<double> FrameLevelsDb(const std::vector<float>& mono, double rate, double frameSeconds);
// The first time (seconds) from `from` on at which the frame level falls below dB; -1 if never.
double TimeLevelFallsBelow(const std::vector<float>& mono, double rate, double from, double db, double frameSeconds = 0.005);
