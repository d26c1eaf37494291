#include "sim/SimWaveReader.h"

#include "sim/SimRiffFile.h"

namespace {

constexpr std::uint32_t kWave = SimFourCC("WAVE");
constexpr std::uint32_t kFormat = SimFourCC("fmt ");
constexpr std::uint32_t kData = SimFourCC("data");

} // namespace

SfmResult SimReadWave(const std::string& path, std::uint64_t& dataBytes)
{
    CSimRiffFile file;
    if (path.empty() || !file.Open(path))
        return kSfmPathnameInvalid;
    SimChunk form;
    if (!file.ReadForm(kWave, form))
        return kSfmFormatInvalid;
    bool hasFormat = false;
    bool hasData = false;
    for (const SimChunk& chunk : file.Chunks(form)) {
        if (chunk.id == kFormat) {
            hasFormat = true;
        } else if (chunk.id == kData && !hasData) {
            hasData = true;
            dataBytes = chunk.size;
        }
    }
    return hasFormat && hasData ? kSfmSuccess : kSfmFormatInvalid;
}
