#pragma once
// Small SoundFont 2 images built byte by byte for the tests, and the files that hold them.

#include "sf2/SoundFontDamage.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

Bytes U16(std::uint16_t value);
Bytes U32(std::uint32_t value);
Bytes Text(const std::string& text);
Bytes Concat(std::initializer_list<Bytes> parts);

// A chunk whose size field is the size of its data, with the pad byte after odd data.
Bytes Chunk(const std::string& id, const Bytes& data);
// A chunk header with any size field, followed by exactly the data given.
Bytes RawChunk(const std::string& id, std::uint32_t size, const Bytes& data);
Bytes List(const std::string& listType, std::initializer_list<Bytes> chunks);
// The top-level header (identifier, size of what follows, form type) and the chunks.
Bytes Riff(std::initializer_list<Bytes> chunks, const std::string& id = "RIFF", const std::string& form = "sfbk");

// One 38-byte preset header; the name is zero-filled to 20 bytes.
Bytes Record(const std::string& name, std::uint16_t preset, std::uint16_t bank, std::uint16_t bagIndex = 0,
             std::uint32_t library = 0, std::uint32_t genre = 0, std::uint32_t morphology = 0);
Bytes TerminalRecord();

// A well-formed SoundFont around the given "phdr" chunk: an INFO list, sample data and a
// "pdta" list that starts with the chunk, followed by the other preset and instrument chunks.
Bytes SoundFontWith(const Bytes& presetHeadersChunk);

// .sf2 files whose preset list can't be read, one for each reason a file on disk can give,
// with the reason the reader must give.
struct DamagedImage {
    const char* name;
    Bytes image;
    SoundFontDamage damage;
};
std::vector<DamagedImage> DamagedImages();

// A path on the host as this program must spell it: under Wine the host's root is drive Z:.
std::string HostPath(const std::string& hostPath);

// Paths here are UTF-8, as the program's.
void WriteFile(const std::string& path, const Bytes& bytes);
std::FILE* OpenForWriting(const std::string& path);
int RemoveFile(const std::string& path);
// Writes pieces at 64-bit offsets, leaving holes between them (sparse where the file system
// allows), so that files of several gigabytes cost nothing.
struct Piece {
    std::uint64_t offset;
    Bytes bytes;
};
bool WriteSparseFile(const std::string& path, const std::vector<Piece>& pieces);
