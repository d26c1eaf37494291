#include "synth/SoundFontChunks.h"

#include "sf2/ChunkWalk.h"
#include "sf2/FourCC.h"

namespace {

constexpr std::uint64_t kFirstChunkOffset = 12;
constexpr std::uint64_t kLargestFormEnd = 8 + std::uint64_t{0xFFFFFFFFu};

constexpr FourCC kRiffId("RIFF");
constexpr FourCC kSoundFontFormType("sfbk");
constexpr FourCC kSampleDataListType("sdta");
constexpr FourCC kSamplesId("smpl");
constexpr FourCC kLowBytesId("sm24");

const char* const kHydraNames[SoundFontChunks::kHydraCount] = {
    "phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"};
constexpr FourCC kHydraIds[SoundFontChunks::kHydraCount] = {
    FourCC("phdr"), FourCC("pbag"), FourCC("pmod"), FourCC("pgen"), FourCC("inst"),
    FourCC("ibag"), FourCC("imod"), FourCC("igen"), FourCC("shdr")};

std::uint64_t FormEnd(const CRiffFile& file)
{
    if (file.Length() > kLargestFormEnd)
        return file.Length();
    return 8 + std::uint64_t{file.Size()};
}

std::uint64_t FirstInList(const CRiffChunk& list)
{
    return list.DataPosition() + CRiffChunk::kListTypeSize;
}

void FindSampleChunks(CRiffFile& file, const CRiffChunk& list, SoundFontChunks& chunks)
{
    CRiffChunk chunk;
    CChunkWalk(file, FirstInList(list), list.DataEnd()).Find(chunk, [&](const CRiffChunk& found) {
        if (found.Identifier() == kSamplesId && !chunks.hasSamples) {
            chunks.hasSamples = true;
            chunks.samples = found;
        } else if (found.Identifier() == kLowBytesId && !chunks.hasLowBytes) {
            chunks.hasLowBytes = true;
            chunks.lowBytes = found;
        }
        return false;
    });
}

void FindHydraChunks(CRiffFile& file, const CRiffChunk& list, SoundFontChunks& chunks)
{
    CRiffChunk chunk;
    CChunkWalk(file, FirstInList(list), list.DataEnd()).Find(chunk, [&](const CRiffChunk& found) {
        for (int which = 0; which < SoundFontChunks::kHydraCount; ++which) {
            if (!chunks.found[which] && found.Identifier() == kHydraIds[which]) {
                chunks.found[which] = true;
                chunks.hydra[which] = found;
            }
        }
        return false;
    });
}

} // namespace

const char* SoundFontChunks::HydraName(int which)
{
    return kHydraNames[which];
}

std::string LocateSoundFontChunks(CRiffFile& file, SoundFontChunks& chunks)
{
    if (file.Identifier() != kRiffId || file.FormType() != kSoundFontFormType)
        return "not a SoundFont: the file does not start with a RIFF 'sfbk' header";
    bool sampleListFound = false;
    bool presetListFound = false;
    CRiffChunk chunk;
    CChunkWalk(file, kFirstChunkOffset, FormEnd(file)).Find(chunk, [&](const CRiffChunk& found) {
        if (!sampleListFound && found.IsList() && found.ListType() == kSampleDataListType) {
            sampleListFound = true;
            FindSampleChunks(file, found, chunks);
        } else if (!presetListFound && found.IsList() && found.ListType() == kPresetDataListType) {
            presetListFound = true;
            FindHydraChunks(file, found, chunks);
        }
        return sampleListFound && presetListFound;
    });
    if (!presetListFound)
        return "damaged: no 'pdta' list (the preset data), or the file ends before it";
    for (int which = 0; which < SoundFontChunks::kHydraCount; ++which) {
        const bool optional = which == SoundFontChunks::kPmod || which == SoundFontChunks::kImod;
        if (!chunks.found[which] && !optional)
            return std::string("damaged: the 'pdta' list has no whole '") + kHydraNames[which] + "' chunk";
    }
    return {};
}

bool ReadChunkBytes(CRiffFile& file, const CRiffChunk& chunk, std::vector<std::uint8_t>& bytes)
{
    bytes.resize(chunk.Size());
    return file.Seek(chunk.DataPosition()) && (bytes.empty() || file.ReadExactly(bytes.data(), bytes.size()));
}
