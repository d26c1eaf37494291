#include "sf2/PresetHeader.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

PresetHeader Entry(const Bytes& record)
{
    PresetHeader entry;
    std::copy(record.begin(), record.end(), entry.record.begin());
    return entry;
}

PresetHeader Entry(const std::string& name, std::uint16_t preset, std::uint16_t bank, std::uint16_t bagIndex = 0)
{
    return Entry(Record(name, preset, bank, bagIndex));
}

} // namespace

TEST(PresetHeader, NameEndsAtTheFirstZeroOrTheTwentiethByte)
{
    struct Case {
        const char* name;
        Bytes nameField;
        std::string expected;
    };
    const Case cases[] = {
        {"short name", Text("Piano"), "Piano"},
        {"bytes after the zero are not part of it", Text(std::string("128\0\xC0\x01\xC7", 7)), "128"},
        {"20 characters", Text("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOPQRST"},
        {"empty", Bytes(20, 0), ""},
    };
    for (const Case& c : cases) {
        Bytes record = c.nameField;
        record.resize(20, 0);
        record.insert(record.end(), {'X', 'Y', 'Z', 'W'});
        record.resize(PresetHeader::kRecordSize, 'V');
        EXPECT_EQ(Entry(record).Name(), c.expected) << c.name;
    }
}

TEST(PresetHeader, OrdersByBankThenPresetThenNameIgnoringCase)
{
    struct Case {
        const char* name;
        PresetHeader lower;
        PresetHeader higher;
    };
    const Case cases[] = {
        {"bank first", Entry("Zebra", 127, 0), Entry("Apple", 0, 128)},
        {"bank numbers are unsigned", Entry("Kit", 0, 1), Entry("Kit", 0, 0x8000)},
        {"then preset", Entry("Zebra", 5, 1), Entry("Apple", 6, 1)},
        {"then name", Entry("apple", 5, 1), Entry("Banana", 5, 1)},
        {"upper case compares as lower case", Entry("Piano", 0, 0), Entry("piano 2", 0, 0)},
        {"letters compare as lower case against other bytes", Entry("_x", 0, 0), Entry("Ax", 0, 0)},
        {"bytes above 127 are unsigned", Entry("z", 0, 0), Entry("\xE9t\xE9", 0, 0)},
        {"a prefix comes first", Entry("Pian", 0, 0), Entry("Piano", 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.lower < c.higher) << c.name;
        EXPECT_FALSE(c.higher < c.lower) << c.name;
    }
}

TEST(PresetHeader, EntriesEqualButForCaseAreNeitherLess)
{
    struct Case {
        const char* name;
        PresetHeader a;
        PresetHeader b;
    };
    const Case cases[] = {
        {"names differing in case", Entry("Grand PIANO", 0, 0), Entry("grand piano", 0, 0)},
        {"fields carried along do not count", Entry("Piano", 0, 0, 1), Entry("Piano", 0, 0, 2)},
        // A comparison running past the 20-byte name would reach the different bag indexes.
        {"20-character names", Entry("ABCDEFGHIJKLMNOPQRST", 0, 0, 1), Entry("abcdefghijklmnopqrst", 0, 0, 2)},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.a < c.b) << c.name;
        EXPECT_FALSE(c.b < c.a) << c.name;
    }
}
