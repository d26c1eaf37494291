#pragma once
// How bright a sound is, in one figure: the amplitude-weighted mean frequency of its spectrum,
// for the comparisons of rendered sound (beside SoundMeasure.h's pitch and levels).

#include <vector>

// Over a Hann window of the largest power of two of samples the signal holds, in Hz.
double SpectralCentroidHz(const std::vector<float>& mono, double rate);
