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
    if (!IsList())
        return true;
    std::uint8_t listType[kListTypeSize];
    if (!file.ReadExactly(listType, sizeof listType))
        return false;
    LittleEndianCursor typeCursor(listType, sizeof listType);
    return typeCursor.ReadFourCC(m_listType);
}

bool CRiffChunk::IsPlausibleWithin(std::uint64_t end) const
{
    if (!m_identifier.IsPrintable() || (IsList() && m_size < kListTypeSize))
        return false;
    return DataPosition() <= end && m_size <= end - DataPosition();
}
