#include "tests/render/WaveFileRead.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

} // namespace

WaveSound ReadStereoWave(const std::string& path)
{
    WaveSound sound;
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        sound.error = path + " is not a wave file";
        return sound;
    }
    std::uint16_t format = 0, channels = 0, bits = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::uint32_t size = U32(b, at + 4);
        const std::size_t body = at + 8;
        if (size > b.size() - body)
            break;
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && size >= 16) {
            format = U16(b, body);
            channels = U16(b, body + 2);
            sound.sampleRate = U32(b, body + 4);
            bits = U16(b, body + 14);
        } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
            if (channels != 2 || !((format == 1 && bits == 16) || (format == 3 && bits == 32))) {
                sound.error = path + ": not 16-bit or float stereo";
                return sound;
            }
            const std::size_t count = size / (bits / 8);
            sound.stereo.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                if (format == 1) {
                    sound.stereo[i] = static_cast<std::int16_t>(U16(b, body + 2 * i)) / 32768.0f;
                } else {
                    const std::uint32_t bitsOf = U32(b, body + 4 * i);
                    std::memcpy(&sound.stereo[i], &bitsOf, 4);
                }
            }
            return sound;
        }
        at = body + size + (size & 1);
    }
    sound.error = path + " has no sound in it";
    return sound;
}
