#include "sf2/SoundFontReader.h"

#include "sf2/ChunkWalk.h"
#include "sf2/PresetReader.h"
#include "sf2/RiffChunk.h"
#include "sf2/RiffFile.h"

#include <algorithm>
#include <cstring>

namespace {

// The first chunk inside the top-level form, after its identifier, size and form type.
constexpr std::uint64_t kFirstChunkOffset = 12;
// A form size field can say at most this much; a larger file can't state its own size.
constexpr std::uint64_t kLargestFormEnd = 8 + std::uint64_t{0xFFFFFFFFu};

constexpr FourCC kRiffId("RIFF");
constexpr FourCC kSoundFontFormType("sfbk");
constexpr FourCC kSampleDataListType("sdta");
constexpr FourCC kSamplesId("smpl");
constexpr FourCC kLowSampleBytesId("sm24");

bool IsList(const CRiffChunk& chunk, FourCC type)
{
    return chunk.IsList() && chunk.ListType() == type;
}

// The name is exactly "EOP": its three letters and the zero after them.
bool IsNamedTerminal(const PresetHeader& entry)
{
    static constexpr char kTerminalName[] = "EOP";
    return std::memcmp(entry.record.data(), kTerminalName, sizeof kTerminalName) == 0;
}

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

// Reads the whole records inside the chunk but the last, which ends the list whatever its
// name, and stops early at a record named "EOP".
bool ReadRecords(CRiffFile& file, const CRiffChunk& presetHeaders, std::vector<PresetHeader>& entries)
{
    const std::uint64_t recordCount = presetHeaders.Size() / PresetHeader::kRecordSize;
    if (recordCount == 0)
        return true;
    const std::uint64_t entryCount = std::min<std::uint64_t>(recordCount - 1, kMaxPresetHeaders);
    if (!file.Seek(presetHeaders.DataPosition()))
        return false;
    entries.reserve(static_cast<std::size_t>(entryCount));
    PresetHeader entry;
    for (std::uint64_t i = 0; i < entryCount; ++i) {
        if (!file.ReadExactly(entry.record.data(), entry.record.size()))
            return false;
        if (IsNamedTerminal(entry))
            break;
        entries.push_back(entry);
    }
    return true;
}

// Adds up "smpl" and "sm24" in the sample data list.
void MeasureSamples(CRiffFile& file, const CRiffChunk& sampleList, SoundFontSummary& summary)
{
    CRiffChunk chunk;
    std::uint64_t samples = 0;
    std::uint64_t lowBytes = 0;
    CChunkWalk(file, FirstInList(sampleList), sampleList.DataEnd()).Find(chunk, [&](const CRiffChunk& found) {
        if (found.Identifier() == kSamplesId && !summary.sampleBytesKnown) {
            summary.sampleBytesKnown = true;
            samples = found.Size();
        } else if (found.Identifier() == kLowSampleBytesId) {
            lowBytes = found.Size();
        }
        return false;
    });
    if (summary.sampleBytesKnown)
        summary.sampleBytes = samples + lowBytes;
}

// Why a walk that found no preset list stopped: in a file that does not say it is a SoundFont,
// at a chunk the file's end cuts, or for want of the list.
SoundFontDamage WhyNotFound(const CRiffFile& file, const CChunkWalk& walk, bool inPresetList)
{
    if (file.Identifier() != kRiffId || file.FormType() != kSoundFontFormType)
        return SoundFontDamage::NotSoundFont;
    CRiffChunk cut;
    if (walk.StoppedAtCutChunk(cut) && cut.DataEnd() > file.Length()) {
        if (inPresetList || IsList(cut, kPresetDataListType))
            return SoundFontDamage::EndsInsidePresetList;
        return SoundFontDamage::EndsBeforePresetList;
    }
    return SoundFontDamage::NoPresetList;
}

SoundFontDamage ReadFromFile(const std::string& path, SoundFontSummary& summary, bool withPresets)
{
    CRiffFile file;
    if (!file.Open(path))
        return file.OpenedWithoutHeader() ? SoundFontDamage::NotSoundFont : SoundFontDamage::CantOpen;
    // One walk over the form finds both lists, in whichever order they come.
    CRiffChunk chunk;
    CRiffChunk presetList;
    bool sampleListFound = false;
    bool presetListFound = false;
    CChunkWalk form(file, kFirstChunkOffset, FormEnd(file));
    form.Find(chunk, [&](const CRiffChunk& found) {
        if (!sampleListFound && IsList(found, kSampleDataListType)) {
            sampleListFound = true;
            // Measured at once, while the list's first header is still in the read buffer:
            // coming back to it from the preset list would read the disk twice more.
            MeasureSamples(file, found, summary);
        } else if (!presetListFound && IsList(found, kPresetDataListType)) {
            presetList = found;
            presetListFound = true;
        }
        return sampleListFound && presetListFound;
    });
    if (!presetListFound)
        return WhyNotFound(file, form, false);
    CChunkWalk list(file, FirstInList(presetList), presetList.DataEnd());
    if (!list.Find(chunk, [](const CRiffChunk& found) { return found.Identifier() == kPresetHeadersId; }))
        return WhyNotFound(file, list, true);
    if (withPresets && !ReadRecords(file, chunk, summary.presets))
        return SoundFontDamage::EndsInsidePresetList;
    return SoundFontDamage::None;
}

} // namespace

bool ReadSoundFont(const std::string& path, SoundFontSummary& summary, bool withPresets) noexcept
{
    summary.presets.clear();
    summary.damage = SoundFontDamage::None;
    summary.sampleBytesKnown = false;
    summary.sampleBytes = 0;
    try {
        summary.damage = ReadFromFile(path, summary, withPresets);
        if (summary.damage == SoundFontDamage::None)
            return true;
    } catch (...) {
        // Out of memory, above all: the file is not at fault.
    }
    summary.presets.clear();
    return false;
}
