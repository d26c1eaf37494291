// Text at the platform's edge: which names the ANSI code page can take exactly.

#include "base/WideText.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct AnsiCase {
    const char* script;
    std::string utf8;
    std::optional<std::string> ansi; // in Windows-1252
};

} // namespace

TEST(WideTextTest, OnlyNamesTheCodePageHoldsExactlyHaveAnAnsiForm)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the forms below are Windows-1252";
    const AnsiCase cases[] = {
        {"empty", "", std::string()},
        {"ASCII", "Piano.sf2", std::string("Piano.sf2")},
        {"Latin-1 letters", "Gr\xC3\xBC\xC3\x9F" "e", std::string("Gr\xFC\xDF" "e")},
        {"a letter of the code page beyond Latin-1", "\xE2\x82\xAC", std::string("\x80")},
        {"Greek", "\xCE\xA9mega", std::nullopt},
        {"Cyrillic", "\xD0\x97\xD0\xB2", std::nullopt},
        {"Japanese", "\xE6\x97\xA5", std::nullopt},
        {"an emoji", "\xF0\x9F\x8E\xB9", std::nullopt},
        {"Latin Extended-A", "\xC4\xBFlama", std::nullopt},
        {"Greek, in the code page only as a best-fit look-alike", "\xCE\xA9", std::nullopt},
        {"fullwidth letters, the same", "\xEF\xBC\xB0\xEF\xBD\x89", std::nullopt},
    };
    for (const AnsiCase& c : cases) {
        EXPECT_EQ(ExactAnsi(WidenUtf8(c.utf8)), c.ansi) << c.script;
        if (c.ansi) {
            EXPECT_EQ(AnsiToUtf8(*c.ansi), c.utf8) << c.script;
        }
    }
}

TEST(WideTextTest, Utf8RoundTripsThroughUtf16)
{
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xCE\xA9 \xE6\x97\xA5 \xF0\x9F\x8E\xB9";
    EXPECT_EQ(WidenUtf8(text), L"Gr\u00FC\u00DFe \u03A9 \u65E5 \U0001F3B9");
    EXPECT_EQ(NarrowToUtf8(WidenUtf8(text)), text);
    EXPECT_EQ(NarrowToUtf8(static_cast<const wchar_t*>(nullptr)), "");
}
