#include "shell/IdList.h"

#include <cstring>

namespace {

std::size_t ItemSize(const std::uint8_t* item)
{
    return static_cast<std::size_t>(item[0]) | static_cast<std::size_t>(item[1]) << 8;
}

} // namespace

IdListLayout MeasureIdList(const std::uint8_t* list)
{
    IdListLayout layout;
    if (!list)
        return layout;
    std::size_t offset = 0;
    for (std::size_t itemSize; (itemSize = ItemSize(list + offset)) != 0; offset += itemSize) {
        layout.lastItemOffset = offset;
        ++layout.itemCount;
    }
    layout.size = offset + kIdListTerminatorSize;
    return layout;
}

void JoinIdLists(std::uint8_t* out, const std::uint8_t* head, std::size_t headSize, const std::uint8_t* tail,
                 std::size_t tailSize)
{
    if (headSize > 0)
        std::memcpy(out, head, headSize);
    if (tailSize > 0)
        std::memcpy(out + headSize, tail, tailSize);
    std::memset(out + headSize + tailSize, 0, kIdListTerminatorSize);
}
