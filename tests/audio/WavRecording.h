#pragma once
// A WAV file as a recording sink writes it (PCM 8/16/24/32-bit or 32-bit float), read into the
// mono mix of its channels. A data chunk whose size was never filled in (the writer did not
// close the file) runs to the end of the file.
#include <string>
#include <vector>

struct WavRecording {
    unsigned rate = 0;
    unsigned channels = 0;
    unsigned bits = 0;
    bool isFloat = false;
    std::vector<float> mono; // -1..1
};

// Empty error on success; else says what is wrong with the file.
std::string ReadWavRecording(const std::vector<unsigned char>& bytes, WavRecording* recording);
