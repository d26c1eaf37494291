#pragma once
// The sample format a device takes, and the conversion of the synthesizer's interleaved float
// stereo into it.
#include <cstddef>
#include <string>

enum class SampleKind { Float32, Int16 };

struct DeviceFormat {
    SampleKind kind = SampleKind::Int16;
    unsigned channels = 2;
    unsigned rate = 44100;
};

size_t BytesPerFrame(const DeviceFormat& format);

// "48000 Hz, 2 channels, 32-bit float".
std::string DescribeFormat(const DeviceFormat& format);

// Writes frames of interleaved stereo into out in the device's format. One channel gets the
// mean of left and right; more than two get left and right first and silence in the others
// (a surround mix format's front pair). 16-bit samples are clipped to full scale, and a value
// that is not a number becomes silence, so a fault of the synthesizer can't become noise.
void ConvertStereo(const float* stereo, size_t frames, const DeviceFormat& format, void* out);

// Frames in ms milliseconds at rate, rounded to the nearest frame, at least one.
unsigned FramesForMs(unsigned rate, unsigned ms);

// Milliseconds of frames at rate.
double MsOfFrames(unsigned rate, unsigned frames);
