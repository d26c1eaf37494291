#pragma once
// One chunk header of a RIFF file: where it stands, its identifier and size, and the list type
// of a "LIST" chunk.

#include "sf2/FourCC.h"
#include "sf2/RiffFile.h"

#include <cstdint>

class CRiffChunk {
public:
    static constexpr std::uint64_t kHeaderSize = 8;
    static constexpr std::uint64_t kListTypeSize = 4;

    // Reads the header at the file's current position: identifier and size, and the list
    // type after the size when the identifier is "LIST". False on any short read.
    bool ReadHeader(CRiffFile& file);
    // Whether the header read could be a chunk that ends no later than end: its identifier is
    // four printable characters, a list has room for its type, and the data end by end.
    bool IsPlausibleWithin(std::uint64_t end) const;

    FourCC Identifier() const { return m_identifier; }
    // Only meaningful for a "LIST" chunk; other chunks leave the last list's type in place.
    FourCC ListType() const { return m_listType; }
    std::uint32_t Size() const { return m_size; }
    std::uint64_t Position() const { return m_position; }
    std::uint64_t DataPosition() const { return m_position + kHeaderSize; }
    // Just after the data, before any pad byte.
    std::uint64_t DataEnd() const { return DataPosition() + m_size; }
    bool IsList() const { return m_identifier == kListId; }

private:
    FourCC m_identifier;
    FourCC m_listType;
    std::uint32_t m_size = 0;
    std::uint64_t m_position = 0;
};
