#include "sf2/PresetReader.h"

#include "sf2/ChunkWalk.h"
#include "sf2/RiffChunk.h"
#include "sf2/RiffFile.h"

#include <algorithm>
#include <cstring>

namespace {

// The first chunk inside the top-level form, after its identifier, size and form type.
constexpr std::uint64_t kFirstChunkOffset = 12;
// A form size field can say at most this much; a larger file can't state its own size.
constexpr std::uint64_t kLargestFormEnd = 8 + std::uint64_t{0xFFFFFFFFu};

bool IsPresetDataList(const CRiffChunk& chunk)
{
    return chunk.IsList() && chunk.ListType() == kPresetDataListType;
}

bool IsPresetHeaders(const CRiffChunk& chunk)
{
    return chunk.Identifier() == kPresetHeadersId;
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

bool ReadFromFile(const std::string& path, std::vector<PresetHeader>& entries)
{
    CRiffFile file;
    if (!file.Open(path))
        return false;
    CRiffChunk chunk;
    if (!CChunkWalk(file, kFirstChunkOffset, FormEnd(file)).Find(chunk, IsPresetDataList))
        return false;
    const std::uint64_t firstInList = chunk.DataPosition() + CRiffChunk::kListTypeSize;
    return CChunkWalk(file, firstInList, chunk.DataEnd()).Find(chunk, IsPresetHeaders) &&
           ReadRecords(file, chunk, entries);
}

} // namespace

bool ReadPresetHeaders(const std::string& path, std::vector<PresetHeader>& entries) noexcept
{
    try {
        entries.clear();
        if (ReadFromFile(path, entries))
            return true;
    } catch (...) {
        // Out of memory, above all: the file counts as unreadable.
    }
    entries.clear();
    return false;
}
