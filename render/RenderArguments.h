#pragma once
// The command line of sf2render:
//
//     sf2render [-r RATE] [-g GAIN] [--no-reverb] [--no-chorus] [--float] FONT.sf2 SONG.mid OUT.wav

#include "render/WaveFileWriter.h"

#include <string>
#include <vector>

struct RenderArguments {
    double sampleRate = 44100;
    float gain = 0.2f; // as FluidSynth's synth.gain
    bool reverb = true;
    bool chorus = true;
    WaveSampleFormat format = WaveSampleFormat::Pcm16;
    std::string font;
    std::string song;
    std::string output;
};

struct ArgumentsParse {
    RenderArguments arguments;
    // Empty when the command line is good; else one line that says what is wrong with it.
    std::string error;
};

constexpr double kMinSampleRate = 22050;
constexpr double kMaxSampleRate = 96000;
constexpr float kMaxGain = 10.0f;

extern const char* const kRenderUsage;

// The arguments after the program's name.
ArgumentsParse ParseRenderArguments(const std::vector<std::string>& arguments);
