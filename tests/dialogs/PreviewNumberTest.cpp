// The number rule of the preview bank and instrument edits.

#include "dialogs/PreviewNumber.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewNumberRule, KeepsTheLeadingNumberWithin0To127)
{
    const struct {
        const char* text;
        std::int32_t value;
        const char* corrected;
    } cases[] = {
        {"42", 42, nullptr},   {"0", 0, nullptr},     {"127", 127, nullptr},
        {"", 0, nullptr},      {"abc", 0, nullptr},   {"12abc", 12, nullptr},
        {" 7", 7, nullptr},    {"128", 127, "127"},   {"300", 127, "127"},
        {"-5", 0, "0"},        {"-0", 0, nullptr},    {"9999999999999999999", 127, "127"},
        {"-9999999999999999999", 0, "0"},
    };
    for (const auto& c : cases) {
        PreviewNumber number = ReadPreviewNumber(c.text);
        EXPECT_EQ(number.value, c.value) << '"' << c.text << '"';
        EXPECT_STREQ(number.correctedText, c.corrected) << '"' << c.text << '"';
    }
}

} // namespace
