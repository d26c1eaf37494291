// SoundFonts named in any script are read by their UTF-8 path, and the UTF-8 decoding that
// opens them on Windows refuses what is not UTF-8.

#include "sf2/PresetReader.h"
#include "sf2/Utf8.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
    const char* name;
    std::string text;
    bool valid;
    std::u16string wide;
};

} // namespace

TEST(Utf8ToUtf16Test, DecodesWellFormedTextAndRefusesTheRest)
{
    const DecodeCase cases[] = {
        {"empty", "", true, u""},
        {"ASCII", "Piano.sf2", true, u"Piano.sf2"},
        {"two bytes", "Gr\xC3\xBC\xC3\x9F" "e", true, u"Gr\u00FC\u00DFe"},
        {"three bytes", "\xE6\x97\xA5\xE6\x9C\xAC", true, u"\u65E5\u672C"},
        {"four bytes: a surrogate pair", "\xF0\x9F\x8E\xB9", true, u"\U0001F3B9"},
        {"the highest code point", "\xF4\x8F\xBF\xBF", true, u"\U0010FFFF"},
        {"a Windows-1252 letter", "Gr\xFC\xDF" "e", false, u""},
        {"a continuation byte first", "\x80" "a", false, u""},
        {"a cut sequence at the end", "a\xE6\x97", false, u""},
        {"a sequence cut by ASCII", "\xE6" "a" "\xA5", false, u""},
        {"an overlong slash", "\xC0\xAF", false, u""},
        {"an overlong three-byte form", "\xE0\x80\xAF", false, u""},
        {"an encoded surrogate", "\xED\xA0\x80", false, u""},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false, u""},
        {"a five-byte lead", "\xF8\x88\x80\x80\x80", false, u""},
    };
    for (const DecodeCase& c : cases) {
        std::u16string wide = u"sentinel";
        EXPECT_EQ(Utf8ToUtf16(c.text, wide), c.valid) << c.name;
        EXPECT_EQ(wide, c.wide) << c.name;
    }
}

TEST(PresetReaderNamesTest, FilesNamedInAnyScriptAreRead)
{
    const char* const names[] = {
        ("Gr\xC3\xBC\xC3\x9F" "e.sf2"),               // Latin-1 letters
        "\xCE\xA9mega.sf2",                            // Greek
        "\xD0\x97\xD0\xB2\xD1\x83\xD0\xBA\xD0\xB8.sf2", // Cyrillic
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.sf2",    // Japanese
        "\xF0\x9F\x8E\xB9 Keys.sf2",                   // an emoji
        "\xC4\xBFlama.sf2",                            // Latin Extended-A
    };
    const Bytes image = SoundFontWith(Chunk("phdr", Concat({Record("Grand", 0, 0), TerminalRecord()})));
    for (const char* name : names) {
        WriteFile(name, image);
        std::vector<PresetHeader> entries;
        EXPECT_TRUE(ReadPresetHeaders(name, entries)) << name;
        ASSERT_EQ(entries.size(), 1u) << name;
        EXPECT_EQ(entries[0].Name(), "Grand") << name;
        EXPECT_EQ(RemoveFile(name), 0) << name << " is still open or was not written";
    }
}
