#include "base/TraceLine.h"

#include <gtest/gtest.h>

TEST(TraceLine, ElapsedTimeIsRightAlignedInSixPlaces)
{
    struct Case {
        std::int32_t elapsed;
        const char* expected;
    };
    const Case cases[] = {
        {0, "(     0) start\n"},
        {1500, "(  1500) start\n"},
        {999999, "(999999) start\n"},
        {1000000, "(1000000) start\n"},
        {123456789, "(123456789) start\n"},
        {-5, "(    -5) start\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTraceLine(c.elapsed, "start\n"), c.expected) << "elapsed " << c.elapsed;
}

TEST(TraceLine, ClockOriginIsTheFirstReading)
{
    TraceClock clock;
    EXPECT_EQ(clock.Elapsed(5000), 0);
    EXPECT_EQ(clock.Elapsed(6500), 1500);
    EXPECT_EQ(clock.Elapsed(5000), 0);
}

TEST(TraceLine, ClockWrapsAroundLikeTheSystemClock)
{
    TraceClock clock;
    clock.Elapsed(0xFFFFFF00u);
    EXPECT_EQ(clock.Elapsed(0x100u), 0x200);
}

TEST(TraceLine, LongTextsAreCutTo255Characters)
{
    const std::string path(1000, 'p');
    std::string message = FormatLimited("Error loading SoundFont (%s)", path.c_str());
    EXPECT_EQ(message.size(), kMaxDiagnosticText);
    EXPECT_EQ(message.substr(0, 24), "Error loading SoundFont ");

    std::string line = FormatTraceLine(42, path);
    EXPECT_EQ(line.size(), kMaxDiagnosticText);
    EXPECT_EQ(line.substr(0, 10), "(    42) p");

    EXPECT_EQ(FormatLimited("%s", std::string(255, 'x').c_str()).size(), 255u);
    EXPECT_EQ(FormatLimited("%s", std::string(254, 'x').c_str()).size(), 254u);
}
