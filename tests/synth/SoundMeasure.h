#pragma once
// Measures of rendered sound for the tests and the comparisons with the reference synthesizer:
// pitch, level in short frames, spectral centroid, release time. Mono, float samples.

#include <cstddef>
#include <vector>

using Samples = std::vector<float>;

// The mean of the two channels of interleaved stereo frames.
Samples MonoMix(const float* stereo, std::size_t frames);
// Frames [first, first + count) of `samples`, cut to its end.
Samples Slice(const Samples& samples, std::size_t first, std::size_t count);

// Decibels of an amplitude ratio; -200 for silence.
double Db(double ratio);
double RmsOf(const Samples& samples);
// The RMS level of consecutive frames of `frameSize` samples (the last, partial one left out), in dB.
std::vector<double> RmsFramesDb(const Samples& samples, std::size_t frameSize);

// The fundamental in Hz by the cumulative mean normalised difference (YIN) over lags of
// [rate / maxHz, rate / minHz], refined by a parabola through the best lag's neighbours;
// 0 when nothing in the range is periodic. Good to a cent on a sustained tone of 4,096 samples.
double PitchHz(const Samples& samples, double rate, double minHz, double maxHz);
// The pitch difference of two frequencies in cents (100 to a semitone).
double Cents(double hz, double referenceHz);

// The amplitude-weighted mean frequency of the spectrum (a Hann window over a power-of-two
// length of the samples), in Hz: a single figure for how bright a sound is.
double SpectralCentroidHz(const Samples& samples, double rate);

// Seconds from `fromSample` until the RMS level in frames of `frameSize` first falls `dropDb`
// below the level of the frame that starts there; -1 when it never does within the samples.
double DecayTime(const Samples& samples, double rate, std::size_t fromSample, std::size_t frameSize, double dropDb);
