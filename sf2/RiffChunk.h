#pragma once
// One chunk header of a RIFF file: the cursor of a walk over the chunks at one level.

#include "sf2/FourCC.h"
#include "sf2/RiffFile.h"

#include <cstdint>

class CRiffChunk {
public:
    static constexpr std::uint64_t kHeaderSize = 8;

    // Reads the header at the file's current position: identifier and size, and the list
    // type after the size when the identifier is "LIST". False on any short read.
    bool ReadHeader(CRiffFile& file);
    // Seeks to the header of the following chunk at the same level: data are word-aligned, so
    // an odd size is followed by one pad byte. False when the seek fails.
    bool SkipToNext(CRiffFile& file) const;

    FourCC Identifier() const { return m_identifier; }
    // Only meaningful for a "LIST" chunk; other chunks leave the last list's type in place.
    FourCC ListType() const { return m_listType; }
    std::uint32_t Size() const { return m_size; }
    std::uint64_t Position() const { return m_position; }
    std::uint64_t DataPosition() const { return m_position + kHeaderSize; }

private:
    FourCC m_identifier;
    FourCC m_listType;
    std::uint32_t m_size = 0;
    std::uint64_t m_position = 0;
};
