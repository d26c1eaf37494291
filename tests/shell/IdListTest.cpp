#include "shell/IdList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A list of items of the given byte counts (at least 2 each), each item filled with its index.
std::vector<std::uint8_t> ListOf(const std::vector<std::size_t>& itemSizes)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < itemSizes.size(); ++i) {
        bytes.push_back(static_cast<std::uint8_t>(itemSizes[i] & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(itemSizes[i] >> 8));
        bytes.insert(bytes.end(), itemSizes[i] - 2, static_cast<std::uint8_t>(i + 1));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

TEST(IdList, LayoutOfListsOfSeveralShapes)
{
    struct Case {
        const char* name;
        std::vector<std::size_t> items;
        std::size_t size;
        std::size_t lastItemOffset;
    };
    const Case cases[] = {
        {"no items", {}, 2, 0},
        {"one item", {20}, 22, 0},
        {"two items of 20 and 14 bytes", {20, 14}, 36, 20},
        {"an item of more than 255 bytes", {300, 4}, 306, 300},
        {"three items", {6, 8, 10}, 26, 14},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> list = ListOf(c.items);
        IdListLayout layout = MeasureIdList(list.data());
        EXPECT_EQ(layout.size, c.size) << c.name;
        EXPECT_EQ(layout.itemCount, c.items.size()) << c.name;
        EXPECT_EQ(layout.lastItemOffset, c.lastItemOffset) << c.name;
    }
}

TEST(IdList, NoListMeasuresZero)
{
    IdListLayout layout = MeasureIdList(nullptr);
    EXPECT_EQ(layout.size, 0u);
    EXPECT_EQ(layout.itemCount, 0u);
}

TEST(IdList, JoinDropsTheFirstTerminatorAndEndsWithOne)
{
    std::vector<std::uint8_t> head = ListOf({20, 14});
    std::vector<std::uint8_t> tail = ListOf({6});
    std::vector<std::uint8_t> joined(head.size() + tail.size() - 2, 0xEE);
    JoinIdLists(joined.data(), head.data(), head.size() - 2, tail.data(), tail.size() - 2);

    std::vector<std::uint8_t> expected(head.begin(), head.end() - 2);
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(joined, expected);
    EXPECT_EQ(MeasureIdList(joined.data()).itemCount, 3u);

    // Only a terminator when both parts are empty.
    std::uint8_t alone[2] = {0xEE, 0xEE};
    JoinIdLists(alone, nullptr, 0, nullptr, 0);
    EXPECT_EQ(alone[0], 0);
    EXPECT_EQ(alone[1], 0);
}

} // namespace
