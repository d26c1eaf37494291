#include "song/BigEndianCursor.h"

const std::uint8_t* BigEndianCursor::Take(std::size_t count)
{
    if (count > Remaining())
        return nullptr;
    const std::uint8_t* bytes = m_data + m_offset;
    m_offset += count;
    return bytes;
}

bool BigEndianCursor::ReadU8(std::uint8_t& value)
{
    const std::uint8_t* bytes = Take(1);
    if (!bytes)
        return false;
    value = bytes[0];
    return true;
}

bool BigEndianCursor::ReadU16(std::uint16_t& value)
{
    const std::uint8_t* bytes = Take(2);
    if (!bytes)
        return false;
    value = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
    return true;
}

bool BigEndianCursor::ReadU32(std::uint32_t& value)
{
    const std::uint8_t* bytes = Take(4);
    if (!bytes)
        return false;
    value = static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
            static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
    return true;
}

bool BigEndianCursor::ReadVariableLength(std::uint32_t& value)
{
    constexpr int kMaxBytes = 4;
    std::uint32_t result = 0;
    for (int i = 0; i < kMaxBytes; ++i) {
        if (i >= static_cast<int>(Remaining()))
            break;
        const std::uint8_t byte = m_data[m_offset + i];
        result = result << 7 | (byte & 0x7Fu);
        if (!(byte & 0x80u)) {
            m_offset += i + 1;
            value = result;
            return true;
        }
    }
    return false;
}

bool BigEndianCursor::Skip(std::size_t count)
{
    return Take(count) != nullptr;
}
