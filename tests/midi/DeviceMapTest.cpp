#include "midi/DeviceMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

std::vector<std::string> Keys(const CDeviceMap& map)
{
    std::vector<std::string> keys;
    for (const auto& [name, entry] : map)
        keys.push_back(name);
    return keys;
}

TEST(DeviceMap, LookingUpANameCreatesItsDefaultEntryOnce)
{
    CDeviceMap map;
    DevMapEntry& created = map.EntryFor("SB Synth A");
    EXPECT_EQ(created.outDevName, "");
    EXPECT_EQ(created.channel, 0);
    EXPECT_TRUE(created.enabled);
    ASSERT_EQ(map.size(), 1u);

    created.outDevName = "MPU-401";
    created.channel = 9;
    created.enabled = false;
    const DevMapEntry& again = map.EntryFor("SB Synth A");
    EXPECT_EQ(&again, &created);
    EXPECT_EQ(again.outDevName, "MPU-401");
    EXPECT_EQ(again.channel, 9);
    EXPECT_FALSE(again.enabled);
    EXPECT_EQ(map.size(), 1u);
}

TEST(DeviceMap, NamesAreDistinctByEveryByteAndByLength)
{
    const std::vector<std::string> names = {
        "Synth", "synth", "Synth ", " Synth", "Synth\0B"s, "", "Synth\xE9",
    };
    CDeviceMap map;
    for (std::size_t i = 0; i < names.size(); ++i)
        map.EntryFor(names[i]).channel = static_cast<std::int32_t>(i);
    ASSERT_EQ(map.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "name #" << i);
        EXPECT_EQ(map.EntryFor(names[i]).channel, static_cast<std::int32_t>(i));
    }
}

TEST(DeviceMap, WalksInUnsignedByteOrderWithPrefixesFirst)
{
    CDeviceMap map;
    // Inserted in an order unlike the expected one.
    for (const std::string& name :
         {"\xC0" "ber"s, "b"s, "Synth B"s, "z"s, "Synth"s, "\x7F"s, ""s, "Synth A"s, "Synth\0"s,
          "\x80"s, "B"s, "\xFF"s})
        map.EntryFor(name);
    // Bytes of 0x80 and up sort after every ASCII byte, as unsigned values.
    const std::vector<std::string> expected = {
        ""s,  "B"s,    "Synth"s, "Synth\0"s, "Synth A"s, "Synth B"s, "b"s,
        "z"s, "\x7F"s, "\x80"s,  "\xC0" "ber"s, "\xFF"s,
    };
    EXPECT_EQ(Keys(map), expected);
}

struct LessCase {
    std::string a;
    std::string b;
    bool less;
};

TEST(DeviceMap, UnsignedByteLessComparesBytesAsUnsigned)
{
    const LessCase cases[] = {
        {"", "", false},     {"", "a", true},       {"a", "", false},
        {"A", "\xE9", true}, {"\xE9", "A", false},  {"ab", "abc", true},
        {"abc", "ab", false}, {"a\0"s, "a", false}, {"a", "a\0"s, true},
        {"\x7F", "\x80", true},
    };
    for (const LessCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.a) + " < " + testing::PrintToString(c.b));
        EXPECT_EQ(UnsignedByteLess()(c.a, c.b), c.less);
    }
}

TEST(DeviceMap, ACopyIsIndependentOfItsOriginal)
{
    CDeviceMap original;
    original.EntryFor("Synth A").channel = 15;
    CDeviceMap copy = original;
    EXPECT_EQ(copy, original);

    copy.EntryFor("Synth A").enabled = false;
    copy.EntryFor("Synth B");
    EXPECT_NE(copy, original);
    EXPECT_TRUE(original.EntryFor("Synth A").enabled);
    EXPECT_EQ(original.size(), 1u);

    original = copy;
    EXPECT_EQ(original, copy);
    EXPECT_FALSE(original.EntryFor("Synth A").enabled);
}

TEST(DefaultDeviceMap, PairsEachDeviceWithTheOutputOfExactlyItsName)
{
    const CDeviceMap map = DefaultDeviceMap(
        {"SB Synth B", "SB Synth A", "Wave Synth", "SB Synth A"},
        {"MPU-401", "SB Synth A", "sb synth b", "Wave Synth ", "SB Synth A"});
    ASSERT_EQ(Keys(map), (std::vector<std::string>{"SB Synth A", "SB Synth B", "Wave Synth"}));
    struct Expected {
        const char* device;
        const char* output;
    };
    const Expected expected[] = {
        {"SB Synth A", "SB Synth A"},
        {"SB Synth B", ""}, // case differs
        {"Wave Synth", ""}, // a trailing blank differs
    };
    for (const auto& [name, entry] : map) {
        SCOPED_TRACE(name);
        EXPECT_EQ(entry.channel, 15);
        EXPECT_TRUE(entry.enabled);
    }
    CDeviceMap lookup = map;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.device);
        EXPECT_EQ(lookup.EntryFor(e.device).outDevName, e.output);
    }
}

} // namespace
