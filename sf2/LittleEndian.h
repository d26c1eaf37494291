#pragma once
// Little-endian fields read byte by byte, never by copying structures from bytes, so that the
// code reads files the same way on every host.

#include "sf2/FourCC.h"

#include <array>
#include <cstddef>
#include <cstdint>

constexpr std::uint16_t DecodeU16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

constexpr std::uint32_t DecodeU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// A field at a fixed offset of a fixed-size record: the bounds are checked when compiling.
template <std::size_t Offset, std::size_t Size>
constexpr std::uint16_t LoadU16(const std::array<std::uint8_t, Size>& record)
{
    static_assert(Offset + 2 <= Size, "field lies outside the record");
    return DecodeU16(record.data() + Offset);
}

template <std::size_t Offset, std::size_t Size>
constexpr std::uint32_t LoadU32(const std::array<std::uint8_t, Size>& record)
{
    static_assert(Offset + 4 <= Size, "field lies outside the record");
    return DecodeU32(record.data() + Offset);
}

// Reads consecutive fields from a buffer of bytes; a read that would pass the end of the
// buffer fails and leaves the cursor and the destination as they were.
class LittleEndianCursor {
public:
    LittleEndianCursor(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    [[nodiscard]] bool ReadU32(std::uint32_t& value);
    [[nodiscard]] bool ReadFourCC(FourCC& code);

    std::size_t Remaining() const { return m_size - m_offset; }

private:
    const std::uint8_t* Take(std::size_t count);

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};
