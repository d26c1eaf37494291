#include "sf2/LittleEndian.h"

const std::uint8_t* LittleEndianCursor::Take(std::size_t count)
{
    if (count > Remaining())
        return nullptr;
    const std::uint8_t* bytes = m_data + m_offset;
    m_offset += count;
    return bytes;
}

bool LittleEndianCursor::ReadU32(std::uint32_t& value)
{
    const std::uint8_t* bytes = Take(4);
    if (!bytes)
        return false;
    value = DecodeU32(bytes);
    return true;
}

bool LittleEndianCursor::ReadFourCC(FourCC& code)
{
    const std::uint8_t* bytes = Take(4);
    if (!bytes)
        return false;
    const std::uint8_t codeBytes[4] = {bytes[0], bytes[1], bytes[2], bytes[3]};
    code = FourCC::FromBytes(codeBytes);
    return true;
}
