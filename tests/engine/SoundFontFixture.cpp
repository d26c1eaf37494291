#include "tests/engine/SoundFontFixture.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

void PutLe16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void PutLe32(std::string& out, std::uint32_t value)
{
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

void PutName(std::string& out, const std::string& name, std::size_t width)
{
    std::string field = name.substr(0, width);
    field.resize(width, '\0');
    out += field;
}

std::string Chunk(const char* id, const std::string& data)
{
    std::string out(id, 4);
    PutLe32(out, static_cast<std::uint32_t>(data.size()));
    out += data;
    if (data.size() % 2)
        out += '\0';
    return out;
}

std::string List(const char* type, const std::string& chunks)
{
    return Chunk("LIST", std::string(type, 4) + chunks);
}

std::string Riff(const char* form, const std::string& chunks)
{
    return Chunk("RIFF", std::string(form, 4) + chunks);
}

constexpr std::uint16_t kSampleModes = 54;
constexpr std::uint16_t kLoopContinuously = 1;
constexpr std::uint8_t kAudibleRootKey = 60;

// One bag per preset and per instrument, each with one generator: preset i plays instrument i,
// which plays sample i (an audible instrument's bag also loops its sample).
std::string PresetData(const FixtureSoundFont& soundFont)
{
    const std::uint32_t count = static_cast<std::uint32_t>(soundFont.presets.size());
    const std::uint32_t instrumentGenerators = soundFont.audible ? 2 : 1;
    std::string phdr, bags, ibags, pgen, inst, igen, shdr;
    std::uint32_t sampleStart = 0;
    for (std::uint32_t index = 0; index < count; ++index) {
        const FixturePreset& preset = soundFont.presets[index];
        PutName(phdr, preset.name, 20);
        PutLe16(phdr, preset.preset);
        PutLe16(phdr, preset.bank);
        PutLe16(phdr, index);
        phdr += std::string(12, '\0');
        PutLe16(bags, index);
        PutLe16(bags, 0);
        PutLe16(ibags, index * instrumentGenerators);
        PutLe16(ibags, 0);
        PutLe16(pgen, 41);
        PutLe16(pgen, index);
        PutName(inst, "Instrument " + std::to_string(index), 20);
        PutLe16(inst, index);
        if (soundFont.audible) {
            PutLe16(igen, kSampleModes);
            PutLe16(igen, kLoopContinuously);
        }
        PutLe16(igen, 53);
        PutLe16(igen, index);
        PutName(shdr, "Sample " + std::to_string(index), 20);
        PutLe32(shdr, sampleStart);
        PutLe32(shdr, sampleStart + preset.sampleFrames);
        PutLe32(shdr, sampleStart);
        PutLe32(shdr, sampleStart + preset.sampleFrames);
        PutLe32(shdr, 22050);
        shdr += static_cast<char>(soundFont.audible ? kAudibleRootKey : 0);
        shdr += '\0';
        PutLe16(shdr, 0);
        PutLe16(shdr, 1);
        sampleStart += preset.sampleFrames;
    }
    PutName(phdr, "EOP", 20);
    phdr += std::string(4, '\0');
    PutLe16(phdr, count);
    phdr += std::string(12, '\0');
    PutLe16(bags, count);
    PutLe16(bags, 0);
    PutLe16(ibags, count * instrumentGenerators);
    PutLe16(ibags, 0);
    pgen += std::string(4, '\0');
    PutName(inst, "EOI", 20);
    PutLe16(inst, count);
    igen += std::string(4, '\0');
    PutName(shdr, "EOS", 20);
    shdr += std::string(26, '\0');
    const std::string noModulators(10, '\0');
    return List("pdta", Chunk("phdr", phdr) + Chunk("pbag", bags) + Chunk("pmod", noModulators) +
                            Chunk("pgen", pgen) + Chunk("inst", inst) + Chunk("ibag", ibags) +
                            Chunk("imod", noModulators) + Chunk("igen", igen) +
                            Chunk("shdr", shdr));
}

std::string InfoList(const FixtureSoundFont& soundFont)
{
    std::string version;
    PutLe16(version, 2);
    PutLe16(version, 1);
    std::string info = Chunk("ifil", version);
    if (soundFont.name)
        info += Chunk("INAM", *soundFont.name + std::string(1, '\0'));
    return List("INFO", info);
}

void FillWithSine(std::string& samples)
{
    const double step = 2 * 3.14159265358979 / kFixtureSinePeriod;
    for (std::size_t frame = 0; frame < samples.size() / 2; ++frame) {
        auto value = static_cast<std::int16_t>(std::lround(30000 * std::sin(step * frame)));
        samples[2 * frame] = static_cast<char>(value & 0xFF);
        samples[2 * frame + 1] = static_cast<char>(value >> 8 & 0xFF);
    }
}

struct FilePointerCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

std::uint64_t SampleBytes(const FixtureSoundFont& soundFont)
{
    if (soundFont.declaredSampleBytes)
        return *soundFont.declaredSampleBytes;
    std::uint64_t bytes = 0;
    for (const FixturePreset& preset : soundFont.presets)
        bytes += 2ull * preset.sampleFrames;
    return bytes;
}

std::string SoundFontBytes(const FixtureSoundFont& soundFont)
{
    std::string samples(static_cast<std::size_t>(SampleBytes(soundFont)), '\0');
    if (soundFont.audible)
        FillWithSine(samples);
    return Riff("sfbk",
                InfoList(soundFont) + List("sdta", Chunk("smpl", samples)) + PresetData(soundFont));
}

void WriteSoundFont(const std::string& path, const FixtureSoundFont& soundFont)
{
    if (!soundFont.declaredSampleBytes) {
        WriteBytes(path, SoundFontBytes(soundFont));
        return;
    }
    // RIFF sizes are 32-bit: the sample data must leave room for the rest of the file.
    const std::uint64_t sampleBytes = *soundFont.declaredSampleBytes;
    const std::string info = InfoList(soundFont);
    const std::string presets = PresetData(soundFont);
    const std::uint64_t riffSize = 4 + info.size() + 12 + 8 + sampleBytes + presets.size();
    if (sampleBytes % 2 || riffSize > 0xFFFFFFFFull)
        throw std::invalid_argument("declared sample size does not fit a RIFF file");
    std::string head = "RIFF";
    PutLe32(head, static_cast<std::uint32_t>(riffSize));
    head += "sfbk" + info + "LIST";
    PutLe32(head, static_cast<std::uint32_t>(4 + 8 + sampleBytes));
    head += "sdtasmpl";
    PutLe32(head, static_cast<std::uint32_t>(sampleBytes));

    std::unique_ptr<std::FILE, FilePointerCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw std::runtime_error("can't write " + path);
    std::fwrite(head.data(), 1, head.size(), file.get());
#if defined(_WIN32)
    _fseeki64(file.get(), static_cast<long long>(head.size() + sampleBytes), SEEK_SET);
#else
    fseeko(file.get(), static_cast<off_t>(head.size() + sampleBytes), SEEK_SET);
#endif
    if (std::fwrite(presets.data(), 1, presets.size(), file.get()) != presets.size())
        throw std::runtime_error("can't write " + path);
}

std::string WaveBytes(std::uint32_t dataBytes)
{
    std::string format;
    PutLe16(format, 1);
    PutLe16(format, 1);
    PutLe32(format, 22050);
    PutLe32(format, 44100);
    PutLe16(format, 2);
    PutLe16(format, 16);
    return Riff("WAVE", Chunk("fmt ", format) + Chunk("data", std::string(dataBytes, '\0')));
}

std::string SineWaveBytes(std::uint32_t frames)
{
    std::string wave = WaveBytes(2 * frames);
    std::string samples = wave.substr(44);
    FillWithSine(samples);
    return wave.substr(0, 44) + samples;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::unique_ptr<std::FILE, FilePointerCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        throw std::runtime_error("can't write " + path);
}

std::string FreshFolder(const std::string& name)
{
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tonewell-engine-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return (folder / "").string();
}
