// The 64-bit tick count that the 32-bit program makes for itself on Windows XP.

#include "base/TickWidening.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    std::uint64_t last;
    std::uint32_t now;
    std::uint64_t expected;
};

const Case kCases[] = {
    {"first reading", 0, 5000, 5000},
    {"counting on", 5000, 7000, 7000},
    {"same reading again", 7000, 7000, 7000},
    {"first wrap-around", 0xFFFFFFF0u, 0x10, 0x100000010ull},
    {"after a wrap-around", 0x100000010ull, 0x20, 0x100000020ull},
    {"wrap-around to zero", 0x2FFFFFFFFull, 0, 0x300000000ull},
    {"third period, highest reading", 0x200000000ull, 0xFFFFFFFFu, 0x2FFFFFFFFull},
};

TEST(TickWidening, WidensAcrossWrapArounds)
{
    for (const Case& c : kCases)
        EXPECT_EQ(WidenTickCount(c.last, c.now), c.expected) << c.name;
}

} // namespace
