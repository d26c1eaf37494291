#pragma once
// Reads the big-endian fields and variable-length numbers of a Standard MIDI File from a
// buffer of bytes; a read that would pass the end fails and leaves the cursor where it was.

#include <cstddef>
#include <cstdint>

class BigEndianCursor {
public:
    BigEndianCursor(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    [[nodiscard]] bool ReadU8(std::uint8_t& value);
    [[nodiscard]] bool ReadU16(std::uint16_t& value);
    [[nodiscard]] bool ReadU32(std::uint32_t& value);
    // A number of at most four bytes, seven bits each, the high bit set on all but the last:
    // the largest is 0x0FFFFFFF. A fifth byte fails the read.
    [[nodiscard]] bool ReadVariableLength(std::uint32_t& value);
    [[nodiscard]] bool Skip(std::size_t count);
    // The next `count` bytes, passed over; null when fewer remain.
    const std::uint8_t* Take(std::size_t count);

    std::size_t Offset() const { return m_offset; }
    std::size_t Remaining() const { return m_size - m_offset; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};
