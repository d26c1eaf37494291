// The paths the card is given and gives back for files named in any script.

#include "engine/CardPath.h"
#include "base/WideText.h"
#include "tests/engine/SoundFontFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(CardPathTest, AFileTheCodePageCantNameIsHandedOverShortAndComesBackLong)
{
    const std::string folder = FreshFolder("card-path");
    const char* const names[] = {"Plain.sf2", ("Gr\xC3\xBC\xC3\x9F" "e.sf2"), "\xE6\x97\xA5\xE6\x9C\xAC.sf2",
                                 "\xF0\x9F\x8E\xB9.sf2", "\xC4\xBFlama.sf2"};
    for (const char* name : names) {
        const std::string path = folder + name;
        HANDLE file = CreateFileW(WidenUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        CloseHandle(file);

        std::optional<std::string> cardPath = CardPathOf(path);
        ASSERT_TRUE(cardPath) << name;
        HANDLE opened = CreateFileA(cardPath->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(opened, INVALID_HANDLE_VALUE) << name << " as " << *cardPath;
        if (opened != INVALID_HANDLE_VALUE)
            CloseHandle(opened);
        EXPECT_EQ(PathFromCard(*cardPath), path) << name;
    }
    // Neither form exists for a file that is not there.
    EXPECT_FALSE(CardPathOf(folder + "\xE6\x97\xA5\\missing.sf2"));
    EXPECT_EQ(CardPathOf(folder + "missing.sf2"), folder + "missing.sf2") << "a plain name goes as it is";
}
