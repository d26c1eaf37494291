#include "tests/sf2/Sf2Image.h"

#include "sf2/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

Bytes U16(std::uint16_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

Bytes U32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes RawChunk(const std::string& id, std::uint32_t size, const Bytes& data)
{
    if (id.size() != 4)
        throw std::invalid_argument("chunk identifiers have four characters: " + id);
    return Concat({Text(id), U32(size), data});
}

Bytes Chunk(const std::string& id, const Bytes& data)
{
    Bytes chunk = RawChunk(id, static_cast<std::uint32_t>(data.size()), data);
    if (data.size() % 2 != 0)
        chunk.push_back(0);
    return chunk;
}

Bytes List(const std::string& listType, std::initializer_list<Bytes> chunks)
{
    return Chunk("LIST", Concat({Text(listType), Concat(chunks)}));
}

Bytes Riff(std::initializer_list<Bytes> chunks, const std::string& id, const std::string& form)
{
    return Chunk(id, Concat({Text(form), Concat(chunks)}));
}

Bytes Record(const std::string& name, std::uint16_t preset, std::uint16_t bank, std::uint16_t bagIndex,
             std::uint32_t library, std::uint32_t genre, std::uint32_t morphology)
{
    Bytes nameField = Text(name);
    nameField.resize(20, 0);
    return Concat({nameField, U16(preset), U16(bank), U16(bagIndex), U32(library), U32(genre), U32(morphology)});
}

Bytes TerminalRecord()
{
    return Record("EOP", 255, 255);
}

Bytes SoundFontWith(const Bytes& presetHeadersChunk)
{
    return Riff({
        List("INFO", {Chunk("ifil", Concat({U16(2), U16(1)})), Chunk("isng", Text("EMU8000")),
                      Chunk("INAM", Text("Test Bank"))}),
        List("sdta", {Chunk("smpl", Bytes(5000, 0x55))}),
        List("pdta", {presetHeadersChunk, Chunk("pbag", Bytes(8, 0)), Chunk("pmod", Bytes(10, 0)),
                      Chunk("pgen", Bytes(4, 0)), Chunk("inst", Bytes(44, 0)), Chunk("ibag", Bytes(8, 0)),
                      Chunk("imod", Bytes(10, 0)), Chunk("igen", Bytes(4, 0)), Chunk("shdr", Bytes(46, 0))}),
    });
}

std::vector<DamagedImage> DamagedImages()
{
    const Bytes whole = SoundFontWith(Chunk("phdr", Concat({Record("Piano", 0, 0), TerminalRecord()})));
    const Bytes presets = Text("pdta");
    const auto presetList = std::search(whole.begin(), whole.end(), presets.begin(), presets.end());
    const auto sampleData = whole.begin() + 200;
    const Bytes wave = Riff({Chunk("fmt ", Bytes(16, 1)), Chunk("data", Bytes(100, 0))}, "RIFF", "WAVE");
    return {
        {"text", Text("These are not the samples you are looking for.\r\n"), SoundFontDamage::NotSoundFont},
        {"wave", wave, SoundFontDamage::NotSoundFont},
        {"empty", {}, SoundFontDamage::NotSoundFont},
        {"shorter than a header", Text("RIFF"), SoundFontDamage::NotSoundFont},
        {"no preset list", Riff({List("INFO", {Chunk("INAM", Text("Nothing"))}), List("sdta", {})}),
         SoundFontDamage::NoPresetList},
        {"preset list without preset headers", Riff({List("pdta", {Chunk("pbag", Bytes(8, 0))})}),
         SoundFontDamage::NoPresetList},
        {"cut inside the preset headers", Bytes(whole.begin(), presetList + 4 + 8 + 20), SoundFontDamage::EndsInsidePresetList},
        {"cut inside the sample data", Bytes(whole.begin(), sampleData), SoundFontDamage::EndsBeforePresetList},
    };
}

std::string HostPath(const std::string& hostPath)
{
#ifdef _WIN32
    return "Z:" + hostPath;
#else
    return hostPath;
#endif
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    if (!WriteSparseFile(path, {{0, bytes}}))
        throw std::runtime_error("can't write " + path);
}

static int SeekAbsolute64(std::FILE* file, std::uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

std::FILE* OpenForWriting(const std::string& path)
{
#ifdef _WIN32
    std::u16string wide;
    if (Utf8ToUtf16(path, wide))
        return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"wb");
#endif
    return std::fopen(path.c_str(), "wb");
}

int RemoveFile(const std::string& path)
{
#ifdef _WIN32
    std::u16string wide;
    if (Utf8ToUtf16(path, wide))
        return _wremove(reinterpret_cast<const wchar_t*>(wide.c_str()));
#endif
    return std::remove(path.c_str());
}

bool WriteSparseFile(const std::string& path, const std::vector<Piece>& pieces)
{
    std::FILE* file = OpenForWriting(path);
    if (!file)
        return false;
    bool written = true;
    for (const Piece& piece : pieces) {
        if (piece.bytes.empty())
            continue;
        written = written && SeekAbsolute64(file, piece.offset) == 0 &&
                  std::fwrite(piece.bytes.data(), 1, piece.bytes.size(), file) == piece.bytes.size();
    }
    return std::fclose(file) == 0 && written;
}
