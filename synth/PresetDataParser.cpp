#include "synth/PresetDataParser.h"

#include "sf2/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kPhdrSize = 38;
constexpr std::size_t kBagSize = 4;
constexpr std::size_t kModSize = 10;
constexpr std::size_t kGenSize = 4;
constexpr std::size_t kInstSize = 22;
constexpr std::size_t kShdrSize = 46;
constexpr std::size_t kNameSize = 20;

// No real SoundFont comes near these; a file that asks for more is treated as ending there.
constexpr std::uint64_t kMaxZones = 1u << 20;
constexpr std::uint64_t kMaxRecordsVisited = 1u << 24;

std::int16_t I16(const std::uint8_t* bytes)
{
    return static_cast<std::int16_t>(DecodeU16(bytes));
}

std::string Name(const std::uint8_t* bytes)
{
    const void* zero = std::memchr(bytes, 0, kNameSize);
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes) : kNameSize;
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

// A record list: its bytes and how many whole records they hold.
struct Records {
    const std::uint8_t* data;
    std::size_t count;
    std::size_t size;
    const std::uint8_t* At(std::size_t index) const { return data + index * size; }
};

Records RecordsOf(const std::vector<std::uint8_t>& bytes, std::size_t recordSize)
{
    return {bytes.data(), bytes.size() / recordSize, recordSize};
}

// Which generators a zone may set from the file.
bool IsSettable(int generator, bool presetLevel)
{
    if (!IsKnownGenerator(generator) || generator == kGenPitch)
        return false;
    const GeneratorInfo& info = InfoOf(generator);
    if (info.low == 0 && info.high == 0)
        return false; // unused, reserved, or one of the structural generators
    return presetLevel ? info.presetMayAdd : true;
}

bool IsModulatorDestination(int destination)
{
    return IsKnownGenerator(destination) && InfoOf(destination).presetMayAdd;
}

class CZoneBuilder {
public:
    CZoneBuilder(const Records& bags, const Records& gens, const Records& mods, bool presetLevel, int linkCount)
        : m_bags(bags), m_gens(gens), m_mods(mods), m_presetLevel(presetLevel), m_linkCount(linkCount)
    {
    }

    // The zones of the bags [first, next header's first).
    void Build(std::size_t bagBegin, std::size_t bagEnd, SynthZone& global, std::vector<SynthZone>& zones)
    {
        // The last bag only ends the one before it.
        const std::size_t usableBags = m_bags.count == 0 ? 0 : m_bags.count - 1;
        bagEnd = std::min(bagEnd, usableBags);
        for (std::size_t bag = bagBegin; bag < bagEnd && Affordable(); ++bag) {
            SynthZone zone;
            const bool linked = ReadGenerators(bag, zone);
            ReadModulators(bag, zone);
            if (linked && zone.link != SynthZone::kNoLink)
                zones.push_back(std::move(zone));
            else if (!linked && bag == bagBegin)
                global = std::move(zone);
            // Any other zone without its instrument or sample is ignored.
        }
    }

private:
    bool Affordable()
    {
        return ++m_zonesBuilt <= kMaxZones && m_recordsVisited <= kMaxRecordsVisited;
    }

    void Range(const Records& list, std::size_t bag, std::size_t offsetInBag, std::size_t& begin, std::size_t& end)
    {
        begin = DecodeU16(m_bags.At(bag) + offsetInBag);
        end = std::min<std::size_t>(DecodeU16(m_bags.At(bag + 1) + offsetInBag), list.count);
        if (begin > end)
            begin = end;
        m_recordsVisited += end - begin;
    }

    // True when the zone ends with its instrument (preset) or sample (instrument) generator.
    bool ReadGenerators(std::size_t bag, SynthZone& zone)
    {
        std::size_t begin = 0, end = 0;
        Range(m_gens, bag, 0, begin, end);
        const int linkGenerator = m_presetLevel ? kGenInstrument : kGenSampleId;
        for (std::size_t i = begin; i < end; ++i) {
            const std::uint8_t* record = m_gens.At(i);
            const int generator = DecodeU16(record);
            const std::uint8_t low = record[2], high = record[3];
            if (generator == kGenKeyRange) {
                zone.keyLow = std::min<std::uint8_t>(low, 127);
                zone.keyHigh = std::min<std::uint8_t>(high, 127);
            } else if (generator == kGenVelRange) {
                zone.velLow = std::min<std::uint8_t>(low, 127);
                zone.velHigh = std::min<std::uint8_t>(high, 127);
            } else if (generator == linkGenerator) {
                const int link = DecodeU16(record + 2);
                zone.link = link < m_linkCount ? link : SynthZone::kNoLink;
                return true; // generators after it are ignored
            } else if (IsSettable(generator, m_presetLevel)) {
                zone.generators.Set(generator, I16(record + 2));
            }
        }
        return false;
    }

    void ReadModulators(std::size_t bag, SynthZone& zone)
    {
        std::size_t begin = 0, end = 0;
        Range(m_mods, bag, 2, begin, end);
        for (std::size_t i = begin; i < end; ++i) {
            const std::uint8_t* record = m_mods.At(i);
            Modulator modulator{DecodeU16(record), DecodeU16(record + 2), I16(record + 4),
                                DecodeU16(record + 6), DecodeU16(record + 8)};
            if (!IsModulatorDestination(modulator.destination) || !IsUsableSource(modulator.source) ||
                !IsUsableSource(modulator.amountSource) || (modulator.transform != 0 && modulator.transform != 2))
                continue;
            const bool repeated = std::any_of(zone.modulators.begin(), zone.modulators.end(),
                                              [&](const Modulator& held) { return held.SameAs(modulator); });
            if (!repeated) // a zone's second identical modulator is ignored
                zone.modulators.push_back(modulator);
        }
    }

    Records m_bags, m_gens, m_mods;
    bool m_presetLevel;
    int m_linkCount;
    std::uint64_t m_zonesBuilt = 0;
    std::uint64_t m_recordsVisited = 0;
};

// Headers list their first bag; the next header's first bag ends the list.
template <typename Header>
void BuildHeaders(const Records& headers, std::size_t bagOffset, CZoneBuilder& zones, std::vector<Header>& out,
                  void (*fill)(const std::uint8_t*, Header&))
{
    if (headers.count < 2)
        return;
    out.resize(headers.count - 1);
    for (std::size_t i = 0; i + 1 < headers.count; ++i) {
        fill(headers.At(i), out[i]);
        const std::size_t begin = DecodeU16(headers.At(i) + bagOffset);
        const std::size_t end = DecodeU16(headers.At(i + 1) + bagOffset);
        if (begin < end)
            zones.Build(begin, end, out[i].global, out[i].zones);
    }
}

void FillPreset(const std::uint8_t* record, SynthPreset& preset)
{
    preset.name = Name(record);
    preset.program = DecodeU16(record + 20);
    preset.bank = DecodeU16(record + 22);
}

void FillInstrument(const std::uint8_t* record, SynthInstrument& instrument)
{
    instrument.name = Name(record);
}

// Sample points held inside the data; ROM samples, which this engine has no ROM for, and
// samples of no length are silent.
SynthSample ReadSample(const std::uint8_t* record, std::uint64_t sampleWords, int sampleCount)
{
    const std::uint32_t words = static_cast<std::uint32_t>(std::min<std::uint64_t>(sampleWords, 0xFFFFFFFFu));
    SynthSample sample;
    sample.name = Name(record);
    sample.start = std::min(DecodeU32(record + 20), words);
    sample.end = std::min(std::max(DecodeU32(record + 24), sample.start), words);
    sample.loopStart = std::min(DecodeU32(record + 28), words);
    sample.loopEnd = std::min(DecodeU32(record + 32), words);
    const std::uint32_t rate = DecodeU32(record + 36);
    sample.sampleRate = rate < 400 ? 44100 : std::min<std::uint32_t>(rate, 192000);
    sample.originalKey = record[40] <= 127 ? record[40] : 60;
    sample.pitchCorrection = static_cast<std::int8_t>(record[41]);
    const int link = DecodeU16(record + 42);
    sample.type = DecodeU16(record + 44);
    sample.link = (sample.type & (kSampleLeft | kSampleRight)) && link < sampleCount ? link : -1;
    if (sample.type & kSampleRom)
        sample.end = sample.start;
    return sample;
}

} // namespace

std::string ParsePresetData(const HydraBytes& hydra, std::uint64_t sampleWords, CSynthFont& font)
{
    using C = SoundFontChunks;
    const Records phdr = RecordsOf(hydra[C::kPhdr], kPhdrSize);
    const Records inst = RecordsOf(hydra[C::kInst], kInstSize);
    const Records shdr = RecordsOf(hydra[C::kShdr], kShdrSize);
    if (phdr.count < 2)
        return "damaged: the 'phdr' chunk holds no preset";
    const int sampleCount = static_cast<int>(std::min<std::size_t>(shdr.count == 0 ? 0 : shdr.count - 1, 65535));
    const int instrumentCount = static_cast<int>(std::min<std::size_t>(inst.count == 0 ? 0 : inst.count - 1, 65535));

    auto& samples = font.MutableSamples();
    samples.reserve(static_cast<std::size_t>(sampleCount));
    for (int i = 0; i < sampleCount; ++i)
        samples.push_back(ReadSample(shdr.At(static_cast<std::size_t>(i)), sampleWords, sampleCount));

    CZoneBuilder instrumentZones(RecordsOf(hydra[C::kIbag], kBagSize), RecordsOf(hydra[C::kIgen], kGenSize),
                                 RecordsOf(hydra[C::kImod], kModSize), false, sampleCount);
    BuildHeaders(Records{inst.data, static_cast<std::size_t>(instrumentCount) + (inst.count ? 1 : 0), kInstSize}, 20,
                 instrumentZones, font.MutableInstruments(), FillInstrument);
    CZoneBuilder presetZones(RecordsOf(hydra[C::kPbag], kBagSize), RecordsOf(hydra[C::kPgen], kGenSize),
                             RecordsOf(hydra[C::kPmod], kModSize), true, instrumentCount);
    BuildHeaders(phdr, 24, presetZones, font.MutablePresets(), FillPreset);
    return {};
}
