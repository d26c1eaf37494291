#include "base/TickWidening.h"

std::uint64_t WidenTickCount(std::uint64_t last, std::uint32_t now)
{
    std::uint64_t high = last & ~static_cast<std::uint64_t>(0xFFFFFFFFu);
    if (now < static_cast<std::uint32_t>(last))
        high += static_cast<std::uint64_t>(1) << 32;
    return high | now;
}
