// Every form in which a shell folder may answer a display-name request.

#include "shell/StrRet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A one-item list whose item holds "Piano.sf2" and its terminator from byte 4 on.
std::vector<std::uint8_t> ListWithName()
{
    const char name[] = "Piano.sf2";
    const std::size_t itemSize = 4 + sizeof name;
    std::vector<std::uint8_t> list(itemSize + 2, 0);
    list[0] = static_cast<std::uint8_t>(itemSize);
    list[2] = 0x31;
    std::memcpy(&list[4], name, sizeof name);
    return list;
}

LPCITEMIDLIST AsList(const std::vector<std::uint8_t>& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

TEST(StrRet, UnicodeAnswerIsConvertedAndFreed)
{
    CShellMalloc malloc;
    const wchar_t name[] = L"Grand Piano.sf2";
    auto* text = static_cast<wchar_t*>(malloc.Alloc(sizeof name));
    ASSERT_NE(text, nullptr);
    std::memcpy(text, name, sizeof name);
    STRRET answer = {};
    answer.uType = STRRET_WSTR;
    answer.pOleStr = text;

    EXPECT_EQ(StrRetToText(answer, AsList(ListWithName()), malloc), "Grand Piano.sf2");
    EXPECT_EQ(answer.pOleStr, nullptr);
}

TEST(StrRet, OffsetAndInlineAnswers)
{
    CShellMalloc malloc;
    const std::vector<std::uint8_t> list = ListWithName();
    // A name that fills the whole inline buffer has no terminator of its own.
    std::string fullInline(MAX_PATH, 'c');
    struct Case {
        const char* name;
        UINT type;
        UINT offset;
        const char* inlineText;
        std::string expected;
    };
    const Case cases[] = {
        {"offset into the list", STRRET_OFFSET, 4, nullptr, "Piano.sf2"},
        {"offset into the middle of the name", STRRET_OFFSET, 10, nullptr, "sf2"},
        {"offset to the terminator", STRRET_OFFSET, static_cast<UINT>(list.size() - 2), nullptr, ""},
        {"offset beyond the list", STRRET_OFFSET, static_cast<UINT>(list.size()), nullptr, ""},
        {"offset far beyond the list", STRRET_OFFSET, 0x7FFFFFFF, nullptr, ""},
        {"inline text", STRRET_CSTR, 0, "Strings.sf2", "Strings.sf2"},
        {"inline text without terminator", STRRET_CSTR, 0, fullInline.c_str(), fullInline},
        {"unknown form", 7, 0, nullptr, ""},
    };
    for (const Case& c : cases) {
        STRRET answer = {};
        answer.uType = c.type;
        if (c.type == STRRET_OFFSET)
            answer.uOffset = c.offset;
        if (c.inlineText)
            std::memcpy(answer.cStr, c.inlineText, std::min(std::strlen(c.inlineText), sizeof answer.cStr));
        EXPECT_EQ(StrRetToText(answer, AsList(list), malloc), c.expected) << c.name;
    }
}

} // namespace
