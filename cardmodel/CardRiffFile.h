#pragma once
// Reading RIFF files for the card model: positional reads with 64-bit offsets and a
// chunk walk that never trusts a size beyond the bytes that are really there. Needs no
// Windows header.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// A four-character code as it reads from a file, first character in the low byte.
constexpr std::uint32_t CardFourCC(const char (&code)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

struct CardChunk {
    std::uint32_t id = 0;
    // For a LIST chunk: its list type; otherwise 0.
    std::uint32_t listType = 0;
    // Where the chunk's data starts (after a LIST's type for a list) and how long it is.
    std::uint64_t start = 0;
    std::uint64_t size = 0;
};

class CCardRiffFile {
public:
    // Most chunks one list may hold; a walk over more stops there.
    static constexpr std::size_t kMaxChunks = 4096;

    // False when the file can't be opened for reading.
    bool Open(const std::string& path);
    std::uint64_t Size() const { return m_size; }

    // The RIFF form: true when the file starts with a RIFF header of the given form type;
    // `body` then spans the form's chunks, cut to the file's end.
    bool ReadForm(std::uint32_t formType, CardChunk& body);
    // The chunks inside `parent`, in order. A chunk that runs past its parent's end ends the
    // walk; LIST chunks come with their list type.
    std::vector<CardChunk> Chunks(const CardChunk& parent);
    // A chunk's bytes; false when it is larger than `limit` or can't be read.
    bool ReadChunk(const CardChunk& chunk, std::size_t limit, std::vector<std::uint8_t>& bytes);

private:
    bool ReadAt(std::uint64_t position, void* target, std::size_t count);

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::uint64_t m_size = 0;
};

std::uint16_t CardLe16(const std::uint8_t* bytes);
std::uint32_t CardLe32(const std::uint8_t* bytes);

// Fixed-size records in a chunk's bytes (a SoundFont's preset headers, bags, generators...),
// read field by field. Reads outside a record or past the last record are refused.
class CCardRecords {
public:
    CCardRecords(const std::vector<std::uint8_t>& bytes, std::size_t recordSize);

    // False when the bytes are not a whole number of records.
    bool IsWhole() const { return m_recordSize != 0 && m_bytes.size() % m_recordSize == 0; }
    std::size_t Count() const { return m_recordSize ? m_bytes.size() / m_recordSize : 0; }
    std::uint16_t U16(std::size_t record, std::size_t offset) const;
    std::uint32_t U32(std::size_t record, std::size_t offset) const;
    // Zero-terminated text of at most `length` bytes.
    std::string Text(std::size_t record, std::size_t offset, std::size_t length) const;

private:
    const std::uint8_t* Field(std::size_t record, std::size_t offset, std::size_t width) const;

    const std::vector<std::uint8_t>& m_bytes;
    std::size_t m_recordSize;
};
