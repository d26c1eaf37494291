#include "audio/DeviceFormat.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

float Finite(float value)
{
    return std::isfinite(value) ? value : 0.0f;
}

int16_t ToInt16(float value)
{
    float scaled = Finite(value) * 32767.0f;
    if (scaled >= 32767.0f)
        return 32767;
    if (scaled <= -32768.0f)
        return -32768;
    return static_cast<int16_t>(std::lrintf(scaled));
}

template <typename Sample, typename Convert>
void Spread(const float* stereo, size_t frames, unsigned channels, Sample* out, Convert convert)
{
    for (size_t frame = 0; frame < frames; ++frame) {
        float left = stereo[2 * frame];
        float right = stereo[2 * frame + 1];
        if (channels == 1) {
            *out++ = convert(0.5f * (left + right));
            continue;
        }
        *out++ = convert(left);
        *out++ = convert(right);
        for (unsigned extra = 2; extra < channels; ++extra)
            *out++ = convert(0.0f);
    }
}

} // namespace

size_t BytesPerFrame(const DeviceFormat& format)
{
    size_t sampleBytes = format.kind == SampleKind::Float32 ? 4 : 2;
    return sampleBytes * format.channels;
}

std::string DescribeFormat(const DeviceFormat& format)
{
    std::string text = std::to_string(format.rate) + " Hz, " + std::to_string(format.channels) +
        (format.channels == 1 ? " channel, " : " channels, ");
    return text + (format.kind == SampleKind::Float32 ? "32-bit float" : "16-bit");
}

void ConvertStereo(const float* stereo, size_t frames, const DeviceFormat& format, void* out)
{
    if (format.channels == 0)
        return;
    if (format.kind == SampleKind::Float32) {
        Spread(stereo, frames, format.channels, static_cast<float*>(out), Finite);
    } else {
        Spread(stereo, frames, format.channels, static_cast<int16_t*>(out), ToInt16);
    }
}

unsigned FramesForMs(unsigned rate, unsigned ms)
{
    unsigned long long frames = (static_cast<unsigned long long>(rate) * ms + 500) / 1000;
    return frames == 0 ? 1 : static_cast<unsigned>(frames);
}

double MsOfFrames(unsigned rate, unsigned frames)
{
    return rate == 0 ? 0.0 : 1000.0 * frames / rate;
}
