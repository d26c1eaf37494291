#include "sf2/RiffChunk.h"

#include "sf2/LittleEndian.h"

bool CRiffChunk::ReadHeader(CRiffFile& file)
{
    std::uint8_t bytes[kHeaderSize];
    m_position = file.Position();
    if (!file.ReadExactly(bytes, sizeof bytes))
        return false;
    LittleEndianCursor cursor(bytes, sizeof bytes);
    if (!cursor.ReadFourCC(m_identifier) || !cursor.ReadU32(m_size))
        return false;
    if (m_identifier != kListId)
        return true;
    std::uint8_t listType[4];
    if (!file.ReadExactly(listType, sizeof listType))
        return false;
    LittleEndianCursor typeCursor(listType, sizeof listType);
    return typeCursor.ReadFourCC(m_listType);
}

bool CRiffChunk::SkipToNext(CRiffFile& file) const
{
    // The step is at most 2^32 + 8 bytes; refusing positions the seek can't reach keeps the
    // sum from wrapping, so every step moves forward and the walk ends at the end of the file.
    const std::uint64_t step = kHeaderSize + m_size + (m_size & 1u);
    if (m_position > CRiffFile::kMaxOffset - step)
        return false;
    return file.Seek(m_position + step);
}
