#include "cardmodel/CardSoundFontReader.h"

#include "cardmodel/CardRiffFile.h"

#include <algorithm>
#include <new>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::uint32_t kSfbk = CardFourCC("sfbk");
constexpr std::uint32_t kInfo = CardFourCC("INFO");
constexpr std::uint32_t kSdta = CardFourCC("sdta");
constexpr std::uint32_t kPdta = CardFourCC("pdta");
constexpr std::uint32_t kInam = CardFourCC("INAM");
constexpr std::uint32_t kSmpl = CardFourCC("smpl");
constexpr std::uint32_t kSm24 = CardFourCC("sm24");
constexpr std::uint32_t kPhdr = CardFourCC("phdr");
constexpr std::uint32_t kPbag = CardFourCC("pbag");
constexpr std::uint32_t kPgen = CardFourCC("pgen");
constexpr std::uint32_t kInst = CardFourCC("inst");
constexpr std::uint32_t kIbag = CardFourCC("ibag");
constexpr std::uint32_t kIgen = CardFourCC("igen");
constexpr std::uint32_t kShdr = CardFourCC("shdr");

constexpr std::size_t kPresetHeaderSize = 38;
constexpr std::size_t kBagSize = 4;
constexpr std::size_t kGeneratorSize = 4;
constexpr std::size_t kInstrumentSize = 22;
constexpr std::size_t kSampleHeaderSize = 46;
constexpr std::size_t kNameLength = 20;
constexpr std::size_t kMaxInfoText = 256;
// No real SoundFont comes near this in one table of its preset data.
constexpr std::size_t kMaxTableBytes = 16u << 20;
// Generators visited while measuring one preset; bag indexes that run backwards and forwards
// could otherwise make a small file cost hours.
constexpr std::size_t kMaxGeneratorVisits = 1u << 22;
constexpr std::uint16_t kInstrumentGenerator = 41;
constexpr std::uint16_t kSampleIdGenerator = 53;
constexpr std::uint16_t kLastPlayablePreset = 127;

struct Layout {
    bool hasName = false;
    CardChunk name;
    std::uint64_t sampleBytes = 0;
    std::map<std::uint32_t, CardChunk> tables;
};

void ReadInfo(CCardRiffFile& file, const CardChunk& list, Layout& layout)
{
    for (const CardChunk& chunk : file.Chunks(list)) {
        if (chunk.id == kInam && !layout.hasName) {
            layout.hasName = true;
            layout.name = chunk;
        }
    }
}

void ReadSampleSizes(CCardRiffFile& file, const CardChunk& list, Layout& layout)
{
    for (const CardChunk& chunk : file.Chunks(list)) {
        if (chunk.id == kSmpl || chunk.id == kSm24)
            layout.sampleBytes += chunk.size;
    }
}

void ReadTableLocations(CCardRiffFile& file, const CardChunk& list, Layout& layout)
{
    for (const CardChunk& chunk : file.Chunks(list))
        layout.tables.emplace(chunk.id, chunk);
}

SfmResult OpenSoundFont(CCardRiffFile& file, const std::string& path, Layout& layout)
{
    if (path.empty() || !file.Open(path))
        return kSfmPathnameInvalid;
    CardChunk form;
    if (!file.ReadForm(kSfbk, form))
        return kSfmFormatInvalid;
    for (const CardChunk& list : file.Chunks(form)) {
        if (list.listType == kInfo)
            ReadInfo(file, list, layout);
        else if (list.listType == kSdta)
            ReadSampleSizes(file, list, layout);
        else if (list.listType == kPdta)
            ReadTableLocations(file, list, layout);
    }
    return layout.tables.count(kPhdr) ? kSfmSuccess : kSfmFormatInvalid;
}

SfmResult ReadTable(CCardRiffFile& file, const Layout& layout, std::uint32_t id,
                    std::vector<std::uint8_t>& bytes)
{
    auto found = layout.tables.find(id);
    if (found == layout.tables.end())
        return kSfmFormatInvalid;
    if (found->second.size > kMaxTableBytes)
        return kSfmSystemMemoryInsufficient;
    return file.ReadChunk(found->second, kMaxTableBytes, bytes) ? kSfmSuccess : kSfmFormatInvalid;
}

std::string ReadName(CCardRiffFile& file, const Layout& layout)
{
    if (!layout.hasName)
        return {};
    CardChunk head = layout.name;
    head.size = std::min<std::uint64_t>(head.size, kMaxInfoText);
    std::vector<std::uint8_t> bytes;
    if (!file.ReadChunk(head, kMaxInfoText, bytes))
        return {};
    std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

// Preset headers end with a terminal record, which names no preset.
std::size_t PresetCount(const CCardRecords& headers)
{
    return headers.Count() - 1;
}

// Opens a SoundFont and reads its preset headers: what every load starts with.
SfmResult ReadPresetHeaders(CCardRiffFile& file, const std::string& path, Layout& layout,
                            std::vector<std::uint8_t>& bytes)
{
    SfmResult result = OpenSoundFont(file, path, layout);
    if (result == kSfmSuccess)
        result = ReadTable(file, layout, kPhdr, bytes);
    if (result != kSfmSuccess)
        return result;
    CCardRecords headers(bytes, kPresetHeaderSize);
    return headers.IsWhole() && headers.Count() > 0 ? kSfmSuccess : kSfmFormatInvalid;
}

SfmResult ReadSoundFont(const std::string& path, CardSoundFontContents& contents)
{
    CCardRiffFile file;
    Layout layout;
    std::vector<std::uint8_t> headerBytes;
    SfmResult result = ReadPresetHeaders(file, path, layout, headerBytes);
    if (result != kSfmSuccess)
        return result;

    CCardRecords headers(headerBytes, kPresetHeaderSize);
    contents = {};
    contents.name = ReadName(file, layout);
    contents.sampleBytes = layout.sampleBytes;
    for (std::size_t index = 0; index < PresetCount(headers); ++index) {
        std::uint16_t preset = headers.U16(index, 20);
        if (headers.U16(index, 22) == 0 && preset <= kLastPlayablePreset)
            contents.presetNames.emplace(preset, headers.Text(index, 0, kNameLength));
    }
    return kSfmSuccess;
}

// The zones of one preset or instrument lead through bags to generators; this follows them,
// keeping to the records that are there and to a budget of visits.
class CZoneWalk {
public:
    CZoneWalk(const CCardRecords& bags, const CCardRecords& generators)
        : m_bags(bags), m_generators(generators)
    {
    }

    // Calls `use(amount)` for every generator `op` among the zones [firstBag, endBag).
    template <typename Use>
    bool Visit(std::size_t firstBag, std::size_t endBag, std::uint16_t op, std::size_t& budget,
               Use use) const
    {
        // Each bag's generators run to the next bag's first one, so the last bag is terminal.
        std::size_t lastBag = m_bags.Count() ? m_bags.Count() - 1 : 0;
        endBag = std::min(endBag, lastBag);
        for (std::size_t bag = firstBag; bag < endBag; ++bag) {
            std::size_t first = m_bags.U16(bag, 0);
            std::size_t end = std::min<std::size_t>(m_bags.U16(bag + 1, 0), m_generators.Count());
            for (std::size_t generator = first; generator < end; ++generator) {
                if (budget-- == 0)
                    return false;
                if (m_generators.U16(generator, 0) == op)
                    use(m_generators.U16(generator, 2));
            }
        }
        return true;
    }

private:
    const CCardRecords& m_bags;
    const CCardRecords& m_generators;
};

struct PresetTables {
    std::vector<std::uint8_t> pbag, pgen, inst, ibag, igen, shdr;
};

SfmResult ReadPresetTables(CCardRiffFile& file, const Layout& layout, PresetTables& tables)
{
    const std::pair<std::uint32_t, std::vector<std::uint8_t>*> wanted[] = {
        {kPbag, &tables.pbag}, {kPgen, &tables.pgen}, {kInst, &tables.inst},
        {kIbag, &tables.ibag}, {kIgen, &tables.igen}, {kShdr, &tables.shdr},
    };
    for (const auto& table : wanted) {
        SfmResult result = ReadTable(file, layout, table.first, *table.second);
        if (result != kSfmSuccess)
            return result;
    }
    return kSfmSuccess;
}

SfmResult MeasurePreset(const CCardRecords& headers, std::size_t index, const PresetTables& tables,
                        std::uint64_t& sampleBytes)
{
    CCardRecords pbag(tables.pbag, kBagSize), pgen(tables.pgen, kGeneratorSize);
    CCardRecords inst(tables.inst, kInstrumentSize), ibag(tables.ibag, kBagSize);
    CCardRecords igen(tables.igen, kGeneratorSize), shdr(tables.shdr, kSampleHeaderSize);
    std::size_t budget = kMaxGeneratorVisits;

    std::set<std::size_t> instruments;
    CZoneWalk presetZones(pbag, pgen);
    if (!presetZones.Visit(headers.U16(index, 24), headers.U16(index + 1, 24), kInstrumentGenerator,
                           budget, [&](std::uint16_t instrument) {
                               if (instrument + 1u < inst.Count())
                                   instruments.insert(instrument);
                           }))
        return kSfmFormatInvalid;

    std::set<std::size_t> samples;
    CZoneWalk instrumentZones(ibag, igen);
    for (std::size_t instrument : instruments) {
        if (!instrumentZones.Visit(inst.U16(instrument, 20), inst.U16(instrument + 1, 20),
                                   kSampleIdGenerator, budget, [&](std::uint16_t sample) {
                                       if (sample + 1u < shdr.Count())
                                           samples.insert(sample);
                                   }))
            return kSfmFormatInvalid;
    }

    sampleBytes = 0;
    for (std::size_t sample : samples) {
        std::uint32_t start = shdr.U32(sample, 20);
        std::uint32_t end = shdr.U32(sample, 24);
        if (end > start)
            sampleBytes += 2ull * (end - start);
    }
    return kSfmSuccess;
}

SfmResult ReadPreset(const std::string& path, std::uint16_t bank, std::uint16_t preset,
                     CardPresetContents& contents)
{
    CCardRiffFile file;
    Layout layout;
    std::vector<std::uint8_t> headerBytes;
    SfmResult result = ReadPresetHeaders(file, path, layout, headerBytes);
    if (result != kSfmSuccess)
        return result;

    CCardRecords headers(headerBytes, kPresetHeaderSize);
    std::size_t index = 0;
    while (index < PresetCount(headers) &&
           (headers.U16(index, 22) != bank || headers.U16(index, 20) != preset))
        ++index;
    if (index == PresetCount(headers))
        return kSfmPresetIndexInvalid;

    PresetTables tables;
    result = ReadPresetTables(file, layout, tables);
    if (result != kSfmSuccess)
        return result;
    contents.name = headers.Text(index, 0, kNameLength);
    return MeasurePreset(headers, index, tables, contents.sampleBytes);
}

// Whatever a damaged file leads to is answered with a code, never thrown at the caller.
template <typename Read>
SfmResult Guarded(Read read)
{
    try {
        return read();
    } catch (const std::bad_alloc&) {
        return kSfmSystemMemoryInsufficient;
    } catch (const std::out_of_range&) {
        return kSfmFormatInvalid;
    }
}

} // namespace

SfmResult CardReadSoundFont(const std::string& path, CardSoundFontContents& contents)
{
    return Guarded([&] { return ReadSoundFont(path, contents); });
}

SfmResult CardReadPreset(const std::string& path, std::uint16_t bank, std::uint16_t preset,
                        CardPresetContents& contents)
{
    return Guarded([&] { return ReadPreset(path, bank, preset, contents); });
}
