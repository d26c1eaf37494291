#include "tests/audio/WavRecording.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t U32(const unsigned char* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t U16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

float SampleAt(const unsigned char* p, unsigned bits, bool isFloat)
{
    if (isFloat) {
        float value;
        uint32_t raw = U32(p);
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }
    switch (bits) {
    case 8:
        return (p[0] - 128) / 128.0f;
    case 16:
        return static_cast<int16_t>(U16(p)) / 32768.0f;
    case 24:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0] << 8 | p[1] << 16 | p[2] << 24)) /
            2147483648.0f;
    default:
        return static_cast<int32_t>(U32(p)) / 2147483648.0f;
    }
}

std::string ReadFormat(const unsigned char* p, uint32_t size, WavRecording* out)
{
    if (size < 16)
        return "fmt chunk of " + std::to_string(size) + " bytes";
    uint16_t tag = U16(p);
    if (tag == 0xFFFE && size >= 40)
        tag = U16(p + 24); // extensible: the sub-format's tag
    out->channels = U16(p + 2);
    out->rate = U32(p + 4);
    out->bits = U16(p + 14);
    out->isFloat = tag == 3;
    if (tag != 1 && tag != 3)
        return "format tag " + std::to_string(tag);
    if (out->isFloat ? out->bits != 32 : (out->bits % 8 != 0 || out->bits == 0 || out->bits > 32)) {
        return std::to_string(out->bits) + "-bit samples";
    }
    if (out->channels == 0 || out->rate == 0)
        return "no channels or no rate";
    return "";
}

void ReadData(const unsigned char* p, size_t size, WavRecording* out)
{
    size_t sampleBytes = out->bits / 8;
    size_t frameBytes = sampleBytes * out->channels;
    size_t frames = size / frameBytes;
    out->mono.resize(frames);
    for (size_t frame = 0; frame < frames; ++frame) {
        float sum = 0.0f;
        for (unsigned channel = 0; channel < out->channels; ++channel) {
            sum += SampleAt(p + frame * frameBytes + channel * sampleBytes, out->bits, out->isFloat);
        }
        out->mono[frame] = sum / out->channels;
    }
}

} // namespace

std::string ReadWavRecording(const std::vector<unsigned char>& bytes, WavRecording* recording)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return "not a RIFF WAVE file (" + std::to_string(bytes.size()) + " bytes)";
    }
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const unsigned char* chunk = bytes.data() + at;
        uint32_t size = U32(chunk + 4);
        size_t left = bytes.size() - at - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size > left)
                return "fmt chunk past the end";
            std::string error = ReadFormat(chunk + 8, size, recording);
            if (!error.empty())
                return error;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return "data before fmt";
            ReadData(chunk + 8, size < left ? size : left, recording);
            return "";
        }
        if (size > left)
            break;
        at += 8 + size + (size & 1);
    }
    return "no data chunk";
}
