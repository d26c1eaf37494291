#include "sf2/PresetReader.h"

#include "sf2/RiffChunk.h"
#include "sf2/RiffFile.h"

#include <cstring>

namespace {

// The first chunk inside the top-level form, after its identifier, size and form type.
constexpr std::uint64_t kFirstChunkOffset = 12;

bool IsPresetDataList(const CRiffChunk& chunk)
{
    return chunk.Identifier() == kListId && chunk.ListType() == kPresetDataListType;
}

bool IsPresetHeaders(const CRiffChunk& chunk)
{
    return chunk.Identifier() == kPresetHeadersId;
}

// The name is exactly "EOP": its three letters and the zero after them.
bool IsTerminal(const PresetHeader& entry)
{
    static constexpr char kTerminalName[] = "EOP";
    return std::memcmp(entry.record.data(), kTerminalName, sizeof kTerminalName) == 0;
}

// Walks from chunk to chunk until one is wanted. Not bounded by the enclosing list: the walk
// ends at the end of the file, where a seek or read fails, since every step moves forward.
template <typename Wanted>
bool WalkTo(CRiffFile& file, CRiffChunk& chunk, Wanted isWanted)
{
    while (!isWanted(chunk)) {
        if (!chunk.SkipToNext(file) || !chunk.ReadHeader(file))
            return false;
    }
    return true;
}

// Reads every record that starts within the chunk's size, up to and without the "EOP" record.
// A record cut short by the end of the file fails the whole read, as every other short read
// does: such a file is damaged past its preset list, so the card could not load it either and
// listing part of its presets would offer sounds that can't be had.
bool ReadRecords(CRiffFile& file, const CRiffChunk& presetHeaders, std::vector<PresetHeader>& entries)
{
    if (!file.Seek(presetHeaders.DataPosition()))
        return false;
    PresetHeader entry;
    for (std::uint64_t consumed = 0; consumed < presetHeaders.Size(); consumed += PresetHeader::kRecordSize) {
        if (!file.ReadExactly(entry.record.data(), entry.record.size()))
            return false;
        if (IsTerminal(entry))
            break;
        entries.push_back(entry);
    }
    return true;
}

bool ReadFromFile(const std::string& path, std::vector<PresetHeader>& entries)
{
    CRiffFile file;
    CRiffChunk chunk;
    return file.Open(path) && file.Seek(kFirstChunkOffset) && chunk.ReadHeader(file) &&
           WalkTo(file, chunk, IsPresetDataList) && chunk.ReadHeader(file) &&
           WalkTo(file, chunk, IsPresetHeaders) && ReadRecords(file, chunk, entries);
}

} // namespace

bool ReadPresetHeaders(const std::string& path, std::vector<PresetHeader>& entries)
{
    entries.clear();
    if (ReadFromFile(path, entries))
        return true;
    entries.clear();
    return false;
}
