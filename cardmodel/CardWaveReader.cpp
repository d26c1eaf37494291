#include "cardmodel/CardWaveReader.h"

#include "cardmodel/CardRiffFile.h"

namespace {

constexpr std::uint32_t kWave = CardFourCC("WAVE");
constexpr std::uint32_t kFormat = CardFourCC("fmt ");
constexpr std::uint32_t kData = CardFourCC("data");

} // namespace

SfmResult CardReadWave(const std::string& path, std::uint64_t& dataBytes)
{
    CCardRiffFile file;
    if (path.empty() || !file.Open(path))
        return kSfmPathnameInvalid;
    CardChunk form;
    if (!file.ReadForm(kWave, form))
        return kSfmFormatInvalid;
    bool hasFormat = false;
    bool hasData = false;
    for (const CardChunk& chunk : file.Chunks(form)) {
        if (chunk.id == kFormat) {
            hasFormat = true;
        } else if (chunk.id == kData && !hasData) {
            hasData = true;
            dataBytes = chunk.size;
        }
    }
    return hasFormat && hasData ? kSfmSuccess : kSfmFormatInvalid;
}
