#include "browser/SampleMemoryFit.h"

#include <gtest/gtest.h>

TEST(SampleMemoryFit, TheMeterSaysWhatTheFileNeedsAndWhenItIsTooLarge)
{
    struct Case {
        std::uint64_t free;
        std::uint64_t needed;
        const char* text;
    };
    const Case cases[] = {
        {27787264, 6291456, "26.5 MB Free \xC2\xB7 needs 6.0 MB"},
        {27787264, 155189248, "26.5 MB Free \xC2\xB7 needs 148.0 MB: too large"},
        {27787264, 27787264, "26.5 MB Free \xC2\xB7 needs 26.5 MB"},       // exactly what is free fits
        {27787264, 27787265, "26.5 MB Free \xC2\xB7 needs 26.5 MB: too large"},
        {27787264, 5000, "26.5 MB Free \xC2\xB7 needs 4.9 kB"},
        {27787264, 0, "26.5 MB Free \xC2\xB7 needs 0.0 kB"},
        {27787264, 0x1FFFFFFFEull, "26.5 MB Free \xC2\xB7 needs 8192.0 MB: too large"}, // smpl and sm24 at most
    };
    for (const Case& c : cases)
        EXPECT_EQ(MeterTextWithNeed("26.5 MB Free", c.free, c.needed), c.text);
}

TEST(SampleMemoryFit, TheRefusalNamesFileNeedAndFree)
{
    EXPECT_EQ(TooLargeMessage("big.sf2", 155189248, 27787264),
              "\"big.sf2\" needs 148.0 MB of sound memory, and only 26.5 MB is free. Delete a loaded SoundFont "
              "to make room, then load it again.");
}
