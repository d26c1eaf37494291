#pragma once
// What is asked of an audio output, and what the opened output turned out to be.
#include <string>

#include "audio/AudioApi.h"
#include "audio/DeviceFormat.h"

constexpr unsigned kMinBufferMs = 5;
constexpr unsigned kMaxBufferMs = 1000;
constexpr unsigned kDefaultBufferMs = 30;

struct AudioRequest {
    AudioApiChoice api = AudioApiChoice::Automatic;
    bool fallBack = true;
    unsigned bufferMs = kDefaultBufferMs; // held to kMinBufferMs..kMaxBufferMs
};

unsigned ClampBufferMs(unsigned ms);

struct AudioStreamInfo {
    AudioApi api = AudioApi::Wasapi;
    DeviceFormat format; // format.rate: the rate to render at
    unsigned periodFrames = 0; // how often the output asks for more
    unsigned bufferFrames = 0; // the most it holds queued (WASAPI: its buffer; it queues two periods)
    double latencyMs = 0.0; // from a frame queued to it being heard, as far as the API says
};

// "WASAPI shared mode: 48000 Hz, 2 channels, 32-bit float; period 480 frames (10.0 ms),
// buffer 1440 frames (30.0 ms), latency 40.0 ms".
std::string DescribeStream(const AudioStreamInfo& info);
