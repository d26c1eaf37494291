// UTF-8 text in the settings file: names in every script survive a write and a read, files of
// the earlier versions (in the ANSI code page) read as they are, and a file keeps its earlier
// form as long as every value fits the code page.

#include "settings/Profile.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WholeFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct NameCase {
    const char* script;
    std::string utf8;
    bool fitsWindows1252;
};

const NameCase kNames[] = {
    {"ASCII", "C:\\Sounds", true},
    {"Latin-1 letters", "C:\\Gr\xC3\xBC\xC3\x9F" "e", true},
    {"Greek", "C:\\\xCE\xA9mega", false},
    {"Cyrillic", "C:\\\xD0\x97\xD0\xB2\xD1\x83\xD0\xBA\xD0\xB8", false},
    {"Japanese", "C:\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", false},
    {"an emoji", "C:\\\xF0\x9F\x8E\xB9", false},
    {"Latin Extended-A", "C:\\\xC4\xBFlama", false},
    {"fullwidth letters (best fit only)", "C:\\\xEF\xBC\xB0\xEF\xBD\x89\xEF\xBD\x81\xEF\xBD\x8E\xEF\xBD\x8F", false},
};

class ProfileTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        m_folder = CreateUniqueFolder(temp, "tw-profile-text-");
        ASSERT_FALSE(m_folder.empty());
    }
    void TearDown() override { RemoveTree(m_folder); }

    std::string PathOf(const std::string& name) const { return m_folder + "\\" + name; }
    static bool IsWindows1252() { return GetACP() == 1252; }

    std::string m_folder;
};

} // namespace

TEST_F(ProfileTextTest, NamesInEveryScriptReadBackAsWritten)
{
    for (const NameCase& c : kNames) {
        const std::string path = PathOf(std::string("each-") + std::to_string(&c - kNames) + ".ini");
        CProfile profile(path, false);
        ASSERT_TRUE(profile.WriteText("General", "LastOpenDir", c.utf8)) << c.script;
        ASSERT_TRUE(profile.WriteTextArray("Folders", "LocalSoundFonts", {c.utf8, "C:\\Other"})) << c.script;
        std::string read;
        EXPECT_TRUE(CProfile(path, false).ReadText("General", "LastOpenDir", read)) << c.script;
        EXPECT_EQ(read, c.utf8) << c.script;
        std::vector<std::string> folders;
        EXPECT_TRUE(CProfile(path, false).ReadTextArray("Folders", "LocalSoundFonts", folders)) << c.script;
        EXPECT_EQ(folders, (std::vector<std::string>{c.utf8, "C:\\Other"})) << c.script;
        if (IsWindows1252()) {
            const bool unicodeFile = ReadWholeFile(path).value_or("").compare(0, 2, "\xFF\xFE") == 0;
            EXPECT_EQ(unicodeFile, !c.fitsWindows1252) << c.script << ": only a name outside the code page "
                                                                      "changes the file's form";
        }
    }
}

TEST_F(ProfileTextTest, NamesThatFitTheCodePageAreWrittenAsTheEarlierVersionWroteThem)
{
    if (!IsWindows1252())
        GTEST_SKIP() << "the bytes below are Windows-1252";
    const std::string earlier = PathOf("earlier.ini"), now = PathOf("now.ini");
    CProfile(earlier, false).WriteString("General", "LastOpenDir", "C:\\Gr\xFC\xDF" "e\\");
    CProfile(now, false).WriteText("General", "LastOpenDir", "C:\\Gr\xC3\xBC\xC3\x9F" "e\\");
    EXPECT_EQ(ReadWholeFile(now).value_or(""), ReadWholeFile(earlier).value_or(""));
}

TEST_F(ProfileTextTest, FilesOfTheEarlierVersionReadAsTheyAreAndKeepTheirValuesWhenTheFormChanges)
{
    if (!IsWindows1252())
        GTEST_SKIP() << "the bytes below are Windows-1252";
    const std::string path = PathOf("tnw.ini");
    ASSERT_TRUE(WriteWholeFile(path, "[Preview]\r\nMidiInDevice=Keys \xE4\r\nLFMidiOutBank=33\r\n"
                                     "[General]\r\nLastOpenDir=C:\\Kl\xE4nge\\\r\n"));
    CProfile profile(path, false);
    std::string lastFolder;
    EXPECT_TRUE(profile.ReadText("General", "LastOpenDir", lastFolder));
    EXPECT_EQ(lastFolder, "C:\\Kl\xC3\xA4nge\\");

    // A name outside the code page: the file becomes UTF-16, and every earlier value stays.
    ASSERT_TRUE(profile.WriteTextArray("Folders", "LocalSoundFonts", {"C:\\\xE6\x97\xA5"}));
    EXPECT_EQ(ReadWholeFile(path).value_or("").compare(0, 2, "\xFF\xFE"), 0);
    std::string device;
    EXPECT_TRUE(profile.ReadString("Preview", "MidiInDevice", device));
    EXPECT_EQ(device, "Keys \xE4");
    int bank = 0;
    EXPECT_TRUE(profile.ReadInt("Preview", "LFMidiOutBank", bank));
    EXPECT_EQ(bank, 33);
    EXPECT_TRUE(profile.ReadText("General", "LastOpenDir", lastFolder));
    EXPECT_EQ(lastFolder, "C:\\Kl\xC3\xA4nge\\");
    std::vector<std::string> folders;
    EXPECT_TRUE(profile.ReadTextArray("Folders", "LocalSoundFonts", folders));
    EXPECT_EQ(folders, std::vector<std::string>{"C:\\\xE6\x97\xA5"});
    // The 8-bit writes keep working on the UTF-16 file.
    EXPECT_TRUE(profile.WriteString("Preview", "MidiInDevice", "Keys \xF6"));
    EXPECT_TRUE(profile.ReadString("Preview", "MidiInDevice", device));
    EXPECT_EQ(device, "Keys \xF6");
    EXPECT_EQ(ReadWholeFile(path).value_or("").compare(0, 2, "\xFF\xFE"), 0);
}
