#include "fuzz/Sf2PresetChecks.h"

#include "sf2/PresetReader.h"
#include "sf2/SoundFontReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Before the first record stand at least the file header, the list's header and type, and the
// chunk's header.
constexpr std::size_t kFirstRecordOffset = 12 + 12 + 8;

bool MatchesAt(const std::vector<PresetHeader>& entries, const std::uint8_t* data, std::size_t offset)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint8_t* record = data + offset + i * PresetHeader::kRecordSize;
        if (std::memcmp(entries[i].record.data(), record, PresetHeader::kRecordSize) != 0)
            return false;
    }
    return true;
}

// The entries are whole records, one after the other, as the file holds them, and a whole
// terminal record follows them in the file.
bool AreWholeRecordsOfTheFile(const std::vector<PresetHeader>& entries, const std::uint8_t* data, std::size_t size)
{
    const std::size_t span = (entries.size() + 1) * PresetHeader::kRecordSize;
    if (entries.size() > size / PresetHeader::kRecordSize || size < kFirstRecordOffset + span)
        return false;
    for (std::size_t offset = kFirstRecordOffset; offset + span <= size; ++offset) {
        if (MatchesAt(entries, data, offset))
            return true;
    }
    return false;
}

// The summary agrees with the preset list: damaged exactly when the list was not found, and
// sample sizes that two chunks inside the file can state.
std::string CheckSummary(const std::string& path, std::size_t size, bool found)
{
    SoundFontSummary summary;
    const bool summaryFound = ReadSoundFont(path, summary, false);
    if (summaryFound != found || (summary.damage == SoundFontDamage::None) != found)
        return "the summary and the preset list disagree on whether the file is damaged";
    if (!summary.presets.empty())
        return "presets were read though not asked for";
    if (!summary.sampleBytesKnown && summary.sampleBytes != 0)
        return "an unknown sample size is not zero";
    if (summary.sampleBytes > 2 * std::uint64_t{size})
        return "the sample chunks are larger than the file";
    return std::string();
}

} // namespace

std::string CheckPresetReader(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::vector<PresetHeader> entries(1);
    const bool found = ReadPresetHeaders(path, entries);
    if (std::string fault = CheckSummary(path, size, found); !fault.empty())
        return fault;
    if (!found)
        return entries.empty() ? std::string() : "a failed read left entries";
    if (entries.size() > kMaxPresetHeaders)
        return "more entries than a SoundFont can have";
    if (!entries.empty() && !AreWholeRecordsOfTheFile(entries, data, size))
        return "the entries are not whole consecutive records followed by a terminal record";
    std::sort(entries.begin(), entries.end());
    if (!std::is_sorted(entries.begin(), entries.end()))
        return "the entries do not sort";
    return std::string();
}
