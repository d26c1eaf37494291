#pragma once
// Reads the stereo wave files the tests compare: 16-bit PCM or 32-bit float, as the reference
// synthesizer and sf2render write them.

#include <string>
#include <vector>

struct WaveSound {
    std::vector<float> stereo; // interleaved
    double sampleRate = 0;
    std::string error; // empty when read
};

WaveSound ReadStereoWave(const std::string& path);
