#pragma once
// A 32-bit millisecond count, as Windows XP's GetTickCount gives it, widened to 64 bits. Needs
// no Windows header.

#include <cstdint>

// The widened count for the reading `now`, given the last widened count: a reading below the
// last one's low half means the 32-bit count has wrapped around (every 49.7 days) since then.
std::uint64_t WidenTickCount(std::uint64_t last, std::uint32_t now);
