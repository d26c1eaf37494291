#include "audio/AudioStreamInfo.h"

#include <cstdio>

namespace {

std::string FramesAndMs(unsigned frames, unsigned rate)
{
    char text[64];
    std::snprintf(text, sizeof text, "%u frames (%.1f ms)", frames, MsOfFrames(rate, frames));
    return text;
}

} // namespace

unsigned ClampBufferMs(unsigned ms)
{
    if (ms < kMinBufferMs)
        return kMinBufferMs;
    if (ms > kMaxBufferMs)
        return kMaxBufferMs;
    return ms;
}

std::string DescribeStream(const AudioStreamInfo& info)
{
    char latency[32];
    std::snprintf(latency, sizeof latency, "%.1f ms", info.latencyMs);
    return std::string(AudioApiName(info.api)) + ": " + DescribeFormat(info.format) + "; period " +
        FramesAndMs(info.periodFrames, info.format.rate) + ", buffer " +
        FramesAndMs(info.bufferFrames, info.format.rate) + ", latency " + latency;
}
