#pragma once
// Item identifier lists as bytes, in the shell's published format: each item begins with its
// 16-bit little-endian byte count (the count field included) and a 16-bit zero ends the list.
// Needs no Windows header.

#include <cstddef>
#include <cstdint>

constexpr std::size_t kIdListTerminatorSize = 2;

struct IdListLayout {
    // Bytes of the whole list, terminator included; 0 when there is no list.
    std::size_t size = 0;
    std::size_t itemCount = 0;
    // Where the last item begins, which is also the byte count of the items before it.
    std::size_t lastItemOffset = 0;
};

IdListLayout MeasureIdList(const std::uint8_t* list);

// Writes the items of `head` and then those of `tail` (byte counts without terminators) and a
// terminator to `out`, which must hold headSize + tailSize + kIdListTerminatorSize bytes.
void JoinIdLists(std::uint8_t* out, const std::uint8_t* head, std::size_t headSize, const std::uint8_t* tail,
                 std::size_t tailSize);
