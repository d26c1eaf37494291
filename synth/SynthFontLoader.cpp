// LoadSynthFont and LoadSynthFontPreset: a SoundFont 2 file read whole into memory, or only
// the one preset a preview needs with the samples it plays.

#include "synth/PresetDataParser.h"
#include "synth/SoundFontChunks.h"
#include "synth/SynthFont.h"

#include "sf2/LittleEndian.h"
#include "sf2/RiffFile.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

constexpr std::size_t kReadPiece = 1u << 16;

// Reads count 16-bit words from position into words[at...].
bool ReadWords(CRiffFile& file, std::uint64_t position, std::uint64_t count, std::int16_t* words)
{
    std::uint8_t buffer[kReadPiece];
    if (!file.Seek(position))
        return false;
    while (count > 0) {
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, kReadPiece / 2));
        if (!file.ReadExactly(buffer, piece * 2))
            return false;
        for (std::size_t i = 0; i < piece; ++i)
            words[i] = static_cast<std::int16_t>(DecodeU16(buffer + 2 * i));
        words += piece;
        count -= piece;
    }
    return true;
}

bool ReadBytes(CRiffFile& file, std::uint64_t position, std::uint64_t count, std::uint8_t* bytes)
{
    return file.Seek(position) && (count == 0 || file.ReadExactly(bytes, static_cast<std::size_t>(count)));
}

class CFontLoader {
public:
    explicit CFontLoader(const std::string& path) : m_path(path) {}

    SynthFontLoad LoadWhole()
    {
        return Guarded([&](CSynthFont& font) {
            std::string error = ParseAll(font);
            return error.empty() ? ReadAllSamples(font) : error;
        });
    }

    SynthFontLoad LoadPreset(int bank, int program)
    {
        return Guarded([&](CSynthFont& font) {
            std::string error = ParseAll(font);
            if (!error.empty())
                return error;
            const int preset = font.FindPreset(bank, program);
            if (preset < 0)
                return "the file has no preset " + std::to_string(bank) + ":" + std::to_string(program);
            return KeepOnlyPreset(font, preset);
        });
    }

private:
    template <typename Step>
    SynthFontLoad Guarded(Step step)
    {
        SynthFontLoad load;
        try {
            auto font = std::make_shared<CSynthFont>();
            load.error = Open();
            if (load.error.empty())
                load.error = step(*font);
            if (load.error.empty())
                load.font = std::move(font);
        } catch (const std::exception&) { // std::bad_alloc, or a length a 32-bit program can't hold
            load.error = "not enough memory to hold the SoundFont";
        }
        return load;
    }

    std::string Open()
    {
        if (!m_file.Open(m_path))
            return m_file.OpenedWithoutHeader() ? "not a SoundFont: the file is shorter than a RIFF header"
                                                : "the file can't be opened";
        return LocateSoundFontChunks(m_file, m_chunks);
    }

    std::uint64_t SampleWords() const { return m_chunks.hasSamples ? m_chunks.samples.Size() / 2 : 0; }

    // sm24 counts: one byte per sample word, as the 2.04 format has it; another size is ignored.
    bool HasLowBytes() const
    {
        return m_chunks.hasLowBytes && m_chunks.lowBytes.Size() >= SampleWords() && SampleWords() > 0;
    }

    std::string ParseAll(CSynthFont& font)
    {
        HydraBytes hydra;
        for (int which = 0; which < SoundFontChunks::kHydraCount; ++which) {
            if (m_chunks.found[which] && !ReadChunkBytes(m_file, m_chunks.hydra[which], hydra[which]))
                return std::string("damaged: the '") + SoundFontChunks::HydraName(which) + "' chunk can't be read";
        }
        return ParsePresetData(hydra, SampleWords(), font);
    }

    std::string ReadAllSamples(CSynthFont& font)
    {
        const std::uint64_t words = SampleWords();
        font.MutableWords().resize(static_cast<std::size_t>(words));
        if (!ReadWords(m_file, m_chunks.samples.DataPosition(), words, font.MutableWords().data()))
            return "damaged: the 'smpl' chunk can't be read";
        if (HasLowBytes()) {
            font.MutableLowBytes().resize(static_cast<std::size_t>(words));
            if (!ReadBytes(m_file, m_chunks.lowBytes.DataPosition(), words, font.MutableLowBytes().data()))
                return "damaged: the 'sm24' chunk can't be read";
        }
        return {};
    }

    std::string KeepOnlyPreset(CSynthFont& font, int presetIndex);
    void ReserveSampleData(CSynthFont& font);
    std::string CopySampleRange(CSynthFont& font, SynthSample& sample);

    std::string m_path;
    CRiffFile m_file;
    SoundFontChunks m_chunks;
};

// Leaves the font with the preset alone, its instruments and their samples renumbered, and
// reads the sample data of just those samples.
std::string CFontLoader::KeepOnlyPreset(CSynthFont& font, int presetIndex)
{
    SynthPreset preset = font.Preset(presetIndex);
    std::vector<int> instrumentMap(static_cast<std::size_t>(font.InstrumentCount()), -1);
    std::vector<int> sampleMap(static_cast<std::size_t>(font.SampleCount()), -1);
    std::vector<SynthInstrument> instruments;
    std::vector<SynthSample> samples;
    auto keepSample = [&](int index) {
        if (sampleMap[static_cast<std::size_t>(index)] < 0) {
            sampleMap[static_cast<std::size_t>(index)] = static_cast<int>(samples.size());
            samples.push_back(font.Sample(index));
        }
        return sampleMap[static_cast<std::size_t>(index)];
    };
    for (SynthZone& presetZone : preset.zones) {
        int& kept = instrumentMap[static_cast<std::size_t>(presetZone.link)];
        if (kept < 0) {
            kept = static_cast<int>(instruments.size());
            instruments.push_back(font.Instrument(presetZone.link));
            for (SynthZone& zone : instruments.back().zones)
                zone.link = keepSample(zone.link);
        }
        presetZone.link = kept;
    }
    // A stereo half's partner comes along when it is used; otherwise the link is dropped.
    for (SynthSample& sample : samples)
        sample.link = sample.link >= 0 ? sampleMap[static_cast<std::size_t>(sample.link)] : -1;
    font.MutablePresets().assign(1, std::move(preset));
    font.MutableInstruments() = std::move(instruments);
    font.MutableSamples() = std::move(samples);
    ReserveSampleData(font);
    for (SynthSample& sample : font.MutableSamples()) {
        std::string error = CopySampleRange(font, sample);
        if (!error.empty())
            return error;
    }
    return {};
}

// Room for the words of every sample kept, made at once: growing the data sample by sample
// moved it again and again and made the system map fresh pages each time (half a preview
// load's time on a large preset).
void CFontLoader::ReserveSampleData(CSynthFont& font)
{
    std::size_t total = 0;
    for (const SynthSample& sample : font.MutableSamples()) {
        const std::uint32_t low = std::min({sample.start, sample.loopStart, sample.end});
        const std::uint32_t high = std::max({sample.end, sample.loopEnd, sample.start});
        total += high - low;
    }
    font.MutableWords().reserve(total);
    if (HasLowBytes())
        font.MutableLowBytes().reserve(total);
}

// Appends the words a sample plays (its start to its end, and its loop) to the font's data
// and moves its points there.
std::string CFontLoader::CopySampleRange(CSynthFont& font, SynthSample& sample)
{
    const std::uint32_t low = std::min({sample.start, sample.loopStart, sample.end});
    const std::uint32_t high = std::max({sample.end, sample.loopEnd, sample.start});
    auto& words = font.MutableWords();
    const std::size_t base = words.size();
    words.resize(base + (high - low));
    const std::uint64_t position = m_chunks.samples.DataPosition() + std::uint64_t{low} * 2;
    if (!ReadWords(m_file, position, high - low, words.data() + base))
        return "damaged: the 'smpl' chunk can't be read";
    if (HasLowBytes()) {
        auto& lowBytes = font.MutableLowBytes();
        lowBytes.resize(words.size());
        if (!ReadBytes(m_file, m_chunks.lowBytes.DataPosition() + low, high - low, lowBytes.data() + base))
            return "damaged: the 'sm24' chunk can't be read";
    }
    auto move = [&](std::uint32_t& point) { point = static_cast<std::uint32_t>(base + (point - low)); };
    move(sample.start);
    move(sample.end);
    move(sample.loopStart);
    move(sample.loopEnd);
    return {};
}

} // namespace

SynthFontLoad LoadSynthFont(const std::string& utf8Path)
{
    return CFontLoader(utf8Path).LoadWhole();
}

SynthFontLoad LoadSynthFontPreset(const std::string& utf8Path, int bank, int program)
{
    return CFontLoader(utf8Path).LoadPreset(bank, program);
}
