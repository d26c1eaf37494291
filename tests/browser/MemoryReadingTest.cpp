#include "browser/MemoryReading.h"

#include <gtest/gtest.h>

TEST(MemoryReading, PositionAndTextFollowTheFreeAmount)
{
    struct Case {
        std::int32_t total;
        std::int32_t free;
        int position;
        const char* text;
    };
    const Case cases[] = {
        {8388608, 6815744, 187, "6.5 MB Free"},
        {8388608, 524288, 937, "512.0 kB Free"},
        {8388608, 1048577, 874, "1.0 MB Free"}, // 874.9998: truncated
        {8388608, 1048576, 875, "1024.0 kB Free"}, // the megabyte threshold is strict
        {8388608, 0, 1000, "0.0 kB Free"},
        {8388608, 8388608, 0, "8.0 MB Free"},
        {0, 0, 0, "0 MB Free"},
        {0, 5000, 0, "0 MB Free"},
        {2147483647, 2147483647, 0, "2048.0 MB Free"},
        {1000, 2000, -1000, "2.0 kB Free"}, // an engine reporting more free than total
    };
    for (const Case& c : cases) {
        MemoryReading reading = ReadMemory(c.total, c.free);
        EXPECT_EQ(reading.position, c.position) << c.total << " / " << c.free;
        EXPECT_EQ(reading.text, c.text) << c.total << " / " << c.free;
    }
}
