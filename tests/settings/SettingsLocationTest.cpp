// Where the settings file goes, on real folders. The tests run under Wine as any user, root
// included, and root writes through Unix permissions; so a file that can't be written is one
// another handle holds open against writing, and a folder that can't be written is one where
// no file can be made at all.

#include "settings/SettingsLocation.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WholeFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

const char kBesideText[] = "[General]\r\nLastOpenDir=C:\\Beside\r\n";
const char kOwnText[] = "[General]\r\nLastOpenDir=C:\\Own\r\n";

enum class Beside { None, Writable, Locked };
enum class ProgramFolder { Writable, NoFileCanBeMade };
enum class UserFolder { Fresh, HoldsOwnFile, NoFileCanBeMade, Unknown };
enum class Place { Beside, User };

struct Case {
    const char* name;
    ProgramFolder program;
    Beside beside;
    UserFolder user;
    Place expectedPlace;
    bool expectedWritable;
    const char* expectedText; // of the chosen file after the choice
};

const Case kCases[] = {
    {"portable folder, first run", ProgramFolder::Writable, Beside::None, UserFolder::Fresh, Place::Beside, true,
     "(absent)"},
    {"portable folder with settings", ProgramFolder::Writable, Beside::Writable, UserFolder::HoldsOwnFile,
     Place::Beside, true, kBesideText},
    {"settings file beside that can't be written is the starting point", ProgramFolder::Writable,
     Beside::Locked, UserFolder::Fresh, Place::User, true, kBesideText},
    {"the user's own file wins over the starting point", ProgramFolder::Writable, Beside::Locked,
     UserFolder::HoldsOwnFile, Place::User, true, kOwnText},
    {"folder that can't be written, first run", ProgramFolder::NoFileCanBeMade, Beside::None, UserFolder::Fresh,
     Place::User, true, "(absent)"},
    {"nowhere to write: the file beside is still read", ProgramFolder::Writable, Beside::Locked,
     UserFolder::NoFileCanBeMade, Place::Beside, false, kBesideText},
    {"nowhere to write, no user folder known", ProgramFolder::NoFileCanBeMade, Beside::None, UserFolder::Unknown,
     Place::Beside, false, "(absent)"},
};

class SettingsLocationTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_root = CreateUniqueFolder(temp, "settings-location-");
        ASSERT_FALSE(m_root.empty());
        // A plain file standing where a folder is looked for: nothing can be made inside it.
        EXPECT_TRUE(WriteWholeFile(m_root + "\\a-file", "x"));
    }
    void TearDown() override
    {
        if (m_lock != INVALID_HANDLE_VALUE)
            CloseHandle(m_lock);
        RemoveTree(m_root);
    }

    std::string ProgramFolderFor(const Case& c)
    {
        if (c.program == ProgramFolder::NoFileCanBeMade)
            return m_root + "\\a-file\\";
        std::string folder = m_root + "\\program\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        if (c.beside != Beside::None) {
            EXPECT_TRUE(WriteWholeFile(folder + "tnw.ini", kBesideText));
        }
        if (c.beside == Beside::Locked)
            m_lock = CreateFileA((folder + "tnw.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        return folder;
    }

    std::string UserFolderFor(const Case& c)
    {
        switch (c.user) {
        case UserFolder::Unknown:
            return std::string();
        case UserFolder::NoFileCanBeMade:
            return m_root + "\\a-file\\Tonewell\\";
        case UserFolder::HoldsOwnFile:
            CreateDirectoryA((m_root + "\\user").c_str(), nullptr);
            EXPECT_TRUE(WriteWholeFile(m_root + "\\user\\tnw.ini", kOwnText));
            return m_root + "\\user\\";
        case UserFolder::Fresh:
            break;
        }
        // Not made yet: the choice makes it.
        return m_root + "\\user\\";
    }

    std::string m_root;
    HANDLE m_lock = INVALID_HANDLE_VALUE;
};

TEST_P(SettingsLocationTest, ChoosesAPlaceThatCanBeWritten)
{
    const Case& c = GetParam();
    const std::string program = ProgramFolderFor(c);
    const std::string user = UserFolderFor(c);
    if (c.beside == Beside::Locked) {
        ASSERT_NE(m_lock, INVALID_HANDLE_VALUE);
    }

    SettingsLocation chosen = CSettingsLocation::Choose(program, user);

    const std::string expectedPath = (c.expectedPlace == Place::Beside ? program : user) + "tnw.ini";
    EXPECT_EQ(chosen.path, expectedPath);
    EXPECT_EQ(chosen.writable, c.expectedWritable);
    EXPECT_EQ(ReadWholeFile(chosen.path).value_or("(absent)"), c.expectedText);
    if (c.beside != Beside::None) {
        EXPECT_EQ(ReadWholeFile(program + "tnw.ini").value_or("(absent)"), kBesideText) << "the file beside was changed";
    }
    if (chosen.writable) {
        // What the choice promises: the settings can be written there.
        EXPECT_TRUE(WritePrivateProfileStringA("General", "Probe", "1", chosen.path.c_str()));
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, chosen.path.c_str());
        char value[8] = {};
        GetPrivateProfileStringA("General", "Probe", "", value, sizeof value, chosen.path.c_str());
        EXPECT_STREQ(value, "1");
    }
}

INSTANTIATE_TEST_SUITE_P(Places, SettingsLocationTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

} // namespace
