// Fuzzes the SoundFont preset reader through a file that holds each input.
#include "fuzz/FuzzInputFile.h"
#include "sf2/PresetReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = WriteFuzzInput(data, size);
    std::vector<PresetHeader> entries(1);
    const bool found = ReadPresetHeaders(path, entries);
    if (!found && !entries.empty())
        std::abort();
    // Every entry is a copy of 38 bytes of the input.
    if (entries.size() > size / PresetHeader::kRecordSize)
        std::abort();
    std::sort(entries.begin(), entries.end());
    if (!std::is_sorted(entries.begin(), entries.end()))
        std::abort();
    return 0;
}
