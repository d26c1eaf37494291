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

bool ParseAudioRequest(const std::string& text, AudioRequest* request)
{
    size_t colon = text.find(':');
    AudioRequest parsed;
    if (!ParseAudioApiChoice(text.substr(0, colon), &parsed.api))
        return false;
    parsed.fallBack = parsed.api == AudioApiChoice::Automatic;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        parsed.bufferMs = ClampBufferMs(static_cast<unsigned>(std::stoul(digits)));
    }
    *request = parsed;
    return true;
}

std::string DescribeStream(const AudioStreamInfo& info)
{
    char latency[32];
    std::snprintf(latency, sizeof latency, "%.1f ms", info.latencyMs);
    return std::string(AudioApiName(info.api)) + ": " + DescribeFormat(info.format) + "; period " +
        FramesAndMs(info.periodFrames, info.format.rate) + ", buffer " +
        FramesAndMs(info.bufferFrames, info.format.rate) + ", latency " + latency;
}
