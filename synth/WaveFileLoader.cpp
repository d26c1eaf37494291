// LoadSynthWave: a PCM wave file as a font of one preset, so that a sound file on disk plays
// through the same engine as a SoundFont.

#include "synth/SynthFont.h"

#include "sf2/ChunkWalk.h"
#include "sf2/LittleEndian.h"
#include "sf2/RiffFile.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::uint64_t kFirstChunkOffset = 12;
constexpr FourCC kRiffId("RIFF");
constexpr FourCC kWaveFormType("WAVE");
constexpr FourCC kFormatId("fmt ");
constexpr FourCC kDataId("data");
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// Zero words after each sample, as SoundFonts keep them, for the interpolation's look-ahead.
constexpr std::uint32_t kGuardWords = 46;

struct WaveFormat {
    int channels = 0;
    int bits = 0;
    std::uint32_t sampleRate = 0;
};

std::string ReadFormat(CRiffFile& file, const CRiffChunk& chunk, WaveFormat& format)
{
    std::uint8_t bytes[40] = {};
    const std::size_t size = std::min<std::size_t>(chunk.Size(), sizeof bytes);
    if (size < 16 || !file.Seek(chunk.DataPosition()) || !file.ReadExactly(bytes, size))
        return "damaged: the 'fmt ' chunk is too short";
    std::uint16_t tag = DecodeU16(bytes);
    if (tag == kFormatExtensible && size >= 26)
        tag = DecodeU16(bytes + 24); // the sub-format's first two bytes
    format.channels = DecodeU16(bytes + 2);
    format.sampleRate = DecodeU32(bytes + 4);
    format.bits = DecodeU16(bytes + 14);
    if (tag != kFormatPcm)
        return "the 'fmt ' chunk gives a format other than PCM";
    if (format.channels < 1 || format.channels > 2 || (format.bits != 8 && format.bits != 16 && format.bits != 24))
        return "the 'fmt ' chunk gives " + std::to_string(format.channels) + " channels of " +
               std::to_string(format.bits) + " bits (mono or stereo of 8, 16 or 24 bits play)";
    return {};
}

// One frame's channel as a 24-bit value.
std::int32_t Decode(const std::uint8_t* bytes, int bits)
{
    switch (bits) {
    case 8: return (static_cast<std::int32_t>(bytes[0]) - 128) * 65536;
    case 16: return static_cast<std::int16_t>(DecodeU16(bytes)) * 256;
    default: return static_cast<std::int32_t>(static_cast<std::uint32_t>(DecodeU16(bytes + 1)) << 16 | bytes[0] << 8) >> 8;
    }
}

std::string ReadFrames(CRiffFile& file, const CRiffChunk& chunk, const WaveFormat& format, CSynthFont& font)
{
    const std::uint32_t frameBytes = static_cast<std::uint32_t>(format.channels * format.bits / 8);
    const std::uint64_t frames = std::min<std::uint64_t>(chunk.Size() / frameBytes, 0x3FFFFFFF);
    auto& words = font.MutableWords();
    auto& lowBytes = font.MutableLowBytes();
    const std::size_t stride = static_cast<std::size_t>(frames) + kGuardWords;
    words.assign(stride * static_cast<std::size_t>(format.channels), 0);
    if (format.bits == 24)
        lowBytes.assign(words.size(), 0);
    std::vector<std::uint8_t> buffer(frameBytes * 4096);
    if (!file.Seek(chunk.DataPosition()))
        return "damaged: the 'data' chunk can't be read";
    for (std::uint64_t frame = 0; frame < frames;) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(frames - frame, 4096));
        if (!file.ReadExactly(buffer.data(), count * frameBytes))
            return "damaged: the 'data' chunk can't be read";
        for (std::size_t i = 0; i < count; ++i) {
            for (int channel = 0; channel < format.channels; ++channel) {
                const std::int32_t value = Decode(buffer.data() + i * frameBytes + channel * format.bits / 8, format.bits);
                const std::size_t at = static_cast<std::size_t>(channel) * stride + static_cast<std::size_t>(frame) + i;
                words[at] = static_cast<std::int16_t>(value >> 8);
                if (!lowBytes.empty())
                    lowBytes[at] = static_cast<std::uint8_t>(value & 0xFF);
            }
        }
        frame += count;
    }
    return {};
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name.substr(0, 20);
}

void BuildPreset(const WaveFormat& format, std::uint32_t frames, const std::string& name, CSynthFont& font)
{
    SynthInstrument instrument;
    instrument.name = name;
    for (int channel = 0; channel < format.channels; ++channel) {
        SynthSample sample;
        sample.name = name;
        sample.start = static_cast<std::uint32_t>(channel) * (frames + kGuardWords);
        sample.end = sample.start + frames;
        sample.loopStart = sample.start;
        sample.loopEnd = sample.end;
        sample.sampleRate = format.sampleRate < 400 ? 44100 : std::min<std::uint32_t>(format.sampleRate, 192000);
        sample.originalKey = 60;
        if (format.channels == 2) {
            sample.type = channel == 0 ? kSampleLeft : kSampleRight;
            sample.link = 1 - channel;
        }
        font.MutableSamples().push_back(sample);
        SynthZone zone;
        zone.link = channel;
        if (format.channels == 2)
            zone.generators.Set(kGenPan, channel == 0 ? -500 : 500);
        instrument.zones.push_back(zone);
    }
    font.MutableInstruments().push_back(std::move(instrument));
    SynthPreset preset;
    preset.name = name;
    SynthZone zone;
    zone.link = 0;
    preset.zones.push_back(zone);
    font.MutablePresets().push_back(std::move(preset));
}

std::string LoadWave(const std::string& path, CSynthFont& font)
{
    CRiffFile file;
    if (!file.Open(path))
        return file.OpenedWithoutHeader() ? "not a wave file: it is shorter than a RIFF header" : "the file can't be opened";
    if (file.Identifier() != kRiffId || file.FormType() != kWaveFormType)
        return "not a wave file: it does not start with a RIFF 'WAVE' header";
    CRiffChunk format, data, chunk;
    bool hasFormat = false, hasData = false;
    CChunkWalk(file, kFirstChunkOffset, 8 + std::uint64_t{file.Size()}).Find(chunk, [&](const CRiffChunk& found) {
        if (!hasFormat && found.Identifier() == kFormatId) {
            format = found;
            hasFormat = true;
        } else if (!hasData && found.Identifier() == kDataId) {
            data = found;
            hasData = true;
        }
        return hasFormat && hasData;
    });
    if (!hasFormat)
        return "damaged: no whole 'fmt ' chunk";
    if (!hasData)
        return "damaged: no whole 'data' chunk";
    WaveFormat wave;
    std::string error = ReadFormat(file, format, wave);
    if (error.empty())
        error = ReadFrames(file, data, wave, font);
    if (error.empty()) {
        const std::uint32_t frames = static_cast<std::uint32_t>(font.SampleWords().size() / static_cast<std::size_t>(wave.channels)) - kGuardWords;
        BuildPreset(wave, frames, BaseName(path), font);
    }
    return error;
}

} // namespace

SynthFontLoad LoadSynthWave(const std::string& utf8Path)
{
    SynthFontLoad load;
    try {
        auto font = std::make_shared<CSynthFont>();
        load.error = LoadWave(utf8Path, *font);
        if (load.error.empty())
            load.font = std::move(font);
    } catch (const std::exception&) {
        load.error = "not enough memory to hold the wave file";
    }
    return load;
}
