// The settings store on real files. Every test works on a file of its own in a fresh folder,
// given by full path, so that no test sees another's file through the platform's cache.

#include "settings/Profile.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WholeFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The file's non-blank lines, without their line ends.
std::vector<std::string> Lines(const std::string& path)
{
    std::vector<std::string> lines;
    std::string text = ReadWholeFile(path).value_or("");
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A fresh folder under the temporary directory, removed with everything in it afterwards.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_folder = CreateUniqueFolder(temp, "tw-profile-");
        ASSERT_FALSE(m_folder.empty());
    }

    void TearDown() override { RemoveTree(m_folder); }

    std::string PathOf(const std::string& name) const { return m_folder + "\\" + name; }
    std::string UniqueName() const { return m_folder.substr(m_folder.rfind('\\') + 1); }

    // A store on settings.ini in the test's folder, holding `content` when it is given.
    CProfile StoreWith(const std::string& content) const
    {
        EXPECT_TRUE(WriteWholeFile(PathOf("settings.ini"), content));
        return CProfile(PathOf("settings.ini"), false);
    }

    std::string m_folder;
};

const char kUntouched[] = "(untouched)";

TEST_F(ProfileTest, ReadStringTellsAMissingKeyFromAnEmptyValue)
{
    CProfile store = StoreWith("[S]\r\nEmpty=\r\nText=hello\r\nSentinel=xyxthhq91827564\r\n"
                               "[Other]\r\nOnlyHere=1\r\n");
    struct Case {
        const char* section;
        const char* key;
        bool found;
        const char* value;
    };
    const Case cases[] = {
        {"S", "Text", true, "hello"},
        {"S", "Empty", true, ""},
        {"S", "Missing", false, kUntouched},
        {"Missing", "Text", false, kUntouched},
        {"S", "OnlyHere", false, kUntouched},
        // A stored value equal to the sentinel cannot be told from a missing key.
        {"S", "Sentinel", false, kUntouched},
    };
    for (const Case& c : cases) {
        std::string value = kUntouched;
        EXPECT_EQ(store.ReadString(c.section, c.key, value), c.found) << c.section << "/" << c.key;
        EXPECT_EQ(value, c.value) << c.section << "/" << c.key;
    }
}

TEST_F(ProfileTest, ReadIntTakesTheLeadingNumber)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"42", 42},
        {"42abc", 42},
        {"abc", 0},
        {"-7", -7},
        {"+5", 5},
        {"007", 7},
        {"0x10", 0},
        {"", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // Beyond 32 bits the number is held at the limit rather than wrapped.
        {"2147483648", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    std::string content = "[S]\r\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        content += "K" + std::to_string(i) + "=" + cases[i].text + "\r\n";
    CProfile store = StoreWith(content);

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        int value = 12345;
        EXPECT_TRUE(store.ReadInt("S", "K" + std::to_string(i), value)) << cases[i].text;
        EXPECT_EQ(value, cases[i].value) << cases[i].text;
    }
    int value = 12345;
    EXPECT_FALSE(store.ReadInt("S", "Missing", value));
    EXPECT_EQ(value, 12345);
}

TEST_F(ProfileTest, ReadBoolIsFalseOnlyForTheExactWordFalse)
{
    struct Case {
        const char* text;
        bool value;
    };
    const Case cases[] = {
        {"True", true}, {"False", false}, {"false", true}, {"FALSE", true},
        {"0", true},    {"no", true},     {"", true},      {"Falsey", true},
    };
    std::string content = "[S]\r\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        content += "K" + std::to_string(i) + "=" + cases[i].text + "\r\n";
    CProfile store = StoreWith(content);

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        bool value = !cases[i].value;
        EXPECT_TRUE(store.ReadBool("S", "K" + std::to_string(i), value)) << cases[i].text;
        EXPECT_EQ(value, cases[i].value) << cases[i].text;
    }
    bool value = false;
    EXPECT_FALSE(store.ReadBool("S", "Missing", value));
    EXPECT_FALSE(value);
}

TEST_F(ProfileTest, WritesCreateTheFileAndReplaceValuesInPlace)
{
    const std::string path = PathOf("new.ini");
    CProfile store(path, false);
    EXPECT_TRUE(store.WriteString("General", "LastOpenDir", "Z:\\sounds"));
    EXPECT_TRUE(store.WriteInt("Preview", "LFMidiOutChannel", -7));
    EXPECT_TRUE(store.WriteBool("Preview", "PreviewEnableOnStartup", false));
    EXPECT_TRUE(store.WriteInt("Preview", "Min", INT_MIN));
    EXPECT_TRUE(store.WriteBool("Preview", "On", true));
    EXPECT_TRUE(store.WriteString("General", "Empty", ""));
    EXPECT_TRUE(store.WriteString("General", "LastOpenDir", "Z:\\other"));

    const std::vector<std::string> expected = {
        "[General]",
        "LastOpenDir=Z:\\other",
        "Empty=",
        "[Preview]",
        "LFMidiOutChannel=-7",
        "PreviewEnableOnStartup=False",
        "Min=-2147483648",
        "On=True",
    };
    EXPECT_EQ(Lines(path), expected);

    int channel = 0;
    bool enabled = true;
    std::string empty = kUntouched;
    EXPECT_TRUE(store.ReadInt("Preview", "LFMidiOutChannel", channel));
    EXPECT_EQ(channel, -7);
    EXPECT_TRUE(store.ReadBool("Preview", "PreviewEnableOnStartup", enabled));
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(store.ReadString("General", "Empty", empty));
    EXPECT_EQ(empty, "");
}

TEST_F(ProfileTest, DeleteKeyRemovesTheLine)
{
    CProfile store = StoreWith("[S]\r\nA=1\r\nB=2\r\n");
    EXPECT_TRUE(store.DeleteKey("S", "A"));
    EXPECT_EQ(Lines(PathOf("settings.ini")), (std::vector<std::string>{"[S]", "B=2"}));
    std::string value = kUntouched;
    EXPECT_FALSE(store.ReadString("S", "A", value));
    EXPECT_EQ(value, kUntouched);
}

TEST_F(ProfileTest, ValuesThatWouldAddLinesAreRefused)
{
    CProfile store = StoreWith("[S]\r\nK=old\r\n");
    struct Case {
        const char* name;
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"CR in value", "S", "K", "a\rb"},
        {"LF in value", "S", "K", "a\nb"},
        {"injected section", "S", "K", "x\r\n[Injected]\r\nKey=1"},
        {"line break in key", "S", "K\r\n[Injected]\r\nKey", "1"},
        {"line break in section", "S]\r\n[Injected", "Key", "1"},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(store.WriteString(c.section, c.key, c.value)) << c.name;
    EXPECT_FALSE(store.WriteStringArray("S", "List", {"a", "b\nc", "d"}));

    // The refused array element ends the array: the elements before it were written.
    EXPECT_EQ(Lines(PathOf("settings.ini")), (std::vector<std::string>{"[S]", "K=old", "List_0=a"}));
}

TEST_F(ProfileTest, LongValuesReadBackWholeOrAreRefused)
{
    CProfile store = StoreWith("");
    for (std::size_t length : {std::size_t{2047}, std::size_t{2048}, std::size_t{5000}, CProfile::kMaxValueLength}) {
        std::string written(length, 'v');
        written.back() = 'e';
        ASSERT_TRUE(store.WriteString("S", "Long", written)) << length;
        std::string read;
        EXPECT_TRUE(store.ReadString("S", "Long", read)) << length;
        EXPECT_EQ(read, written) << length;
    }
    // The platform no longer reads such a value back: the store keeps the old one instead.
    EXPECT_FALSE(store.WriteString("S", "Long", std::string(CProfile::kMaxValueLength + 1, 'x')));
    std::string read;
    EXPECT_TRUE(store.ReadString("S", "Long", read));
    EXPECT_EQ(read.size(), CProfile::kMaxValueLength);
}

TEST_F(ProfileTest, ArraysAreNumberedKeysAndShrinkWhenRewritten)
{
    const std::string path = PathOf("settings.ini");
    CProfile store = StoreWith("");
    EXPECT_TRUE(store.WriteStringArray("S", "K", {"a", "b", "c"}));
    EXPECT_EQ(Lines(path), (std::vector<std::string>{"[S]", "K_0=a", "K_1=b", "K_2=c"}));

    std::vector<std::string> read;
    EXPECT_TRUE(store.ReadStringArray("S", "K", read));
    EXPECT_EQ(read, (std::vector<std::string>{"a", "b", "c"}));

    EXPECT_TRUE(store.WriteStringArray("S", "K", {"x"}));
    EXPECT_EQ(Lines(path), (std::vector<std::string>{"[S]", "K_0=x"}));

    // An empty list writes nothing but still removes the old elements.
    EXPECT_TRUE(store.WriteStringArray("S", "K", {}));
    EXPECT_EQ(Lines(path), (std::vector<std::string>{"[S]"}));
}

TEST_F(ProfileTest, AnArrayEndsAtTheFirstGap)
{
    const std::string path = PathOf("settings.ini");
    CProfile store = StoreWith("[S]\r\nK_0=a\r\nK_1=\r\nK_3=d\r\n");

    std::vector<std::string> read = {"old"};
    EXPECT_TRUE(store.ReadStringArray("S", "K", read));
    EXPECT_EQ(read, (std::vector<std::string>{"a", ""}));

    // Rewriting removes the run before the gap; the key behind it stays, unread.
    EXPECT_TRUE(store.WriteStringArray("S", "K", {"z"}));
    EXPECT_EQ(Lines(path), (std::vector<std::string>{"[S]", "K_3=d", "K_0=z"}));
    EXPECT_TRUE(store.ReadStringArray("S", "K", read));
    EXPECT_EQ(read, (std::vector<std::string>{"z"}));
}

TEST_F(ProfileTest, AnArrayWithoutItsFirstKeyIsAbsentAndLeavesTheList)
{
    CProfile store = StoreWith("[S]\r\nK_1=b\r\nK_2=c\r\n");
    std::vector<std::string> strings = {"kept"};
    std::vector<int> ints = {1, 2};
    std::vector<bool> bools = {true};
    EXPECT_FALSE(store.ReadStringArray("S", "K", strings));
    EXPECT_FALSE(store.ReadIntArray("S", "K", ints));
    EXPECT_FALSE(store.ReadBoolArray("S", "Missing", bools));
    EXPECT_EQ(strings, (std::vector<std::string>{"kept"}));
    EXPECT_EQ(ints, (std::vector<int>{1, 2}));
    EXPECT_EQ(bools, (std::vector<bool>{true}));
}

TEST_F(ProfileTest, IntAndBoolArraysKeepTheirTypes)
{
    const std::string path = PathOf("settings.ini");
    CProfile store = StoreWith("");
    EXPECT_TRUE(store.WriteIntArray("Preview", "DevMapArray_Channel", {15, 0, -3}));
    EXPECT_TRUE(store.WriteBoolArray("Preview", "DevMapArray_Enable", {true, false}));
    EXPECT_EQ(Lines(path), (std::vector<std::string>{
                               "[Preview]",
                               "DevMapArray_Channel_0=15",
                               "DevMapArray_Channel_1=0",
                               "DevMapArray_Channel_2=-3",
                               "DevMapArray_Enable_0=True",
                               "DevMapArray_Enable_1=False",
                           }));

    std::vector<int> channels;
    std::vector<bool> enabled;
    EXPECT_TRUE(store.ReadIntArray("Preview", "DevMapArray_Channel", channels));
    EXPECT_TRUE(store.ReadBoolArray("Preview", "DevMapArray_Enable", enabled));
    EXPECT_EQ(channels, (std::vector<int>{15, 0, -3}));
    EXPECT_EQ(enabled, (std::vector<bool>{true, false}));
}

// The folder in which Wine shows the test program: its build folder on drive Z.
std::string TestProgramFolder()
{
    std::string folder = "Z:" TEST_BINARY_DIR "\\";
    for (char& c : folder) {
        if (c == '/')
            c = '\\';
    }
    return folder;
}

// Runs in another current directory and goes back afterwards.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder)
    {
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(m_previous); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    char m_previous[MAX_PATH] = {};
};

TEST_F(ProfileTest, ProgramDirectoryIsTheFolderOfTheProgramWithABackslash)
{
    std::string directory = CProfile::ProgramDirectory();
    EXPECT_EQ(directory, TestProgramFolder());
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
}

TEST_F(ProfileTest, NextToProgramUsesTheProgramsFolderWhateverTheCurrentDirectory)
{
    // Named after the test's own folder, so that no other run uses the same file.
    const std::string name = UniqueName() + ".ini";
    const std::string besideProgram = TestProgramFolder() + name;
    {
        CurrentDirectory inside(m_folder);
        EXPECT_TRUE(CProfile(name, true).WriteString("S", "K", "v"));
    }
    EXPECT_TRUE(FileExists(besideProgram));
    EXPECT_FALSE(FileExists(PathOf(name)));
    DeleteFileA(besideProgram.c_str());
}

TEST_F(ProfileTest, ABareFileNameWithoutProgramFolderIsInTheCurrentDirectory)
{
    const std::string name = UniqueName() + ".ini";
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string inWindows = std::string(windows) + "\\" + name;
    {
        CurrentDirectory inside(m_folder);
        CProfile store(name, false);
        EXPECT_TRUE(store.WriteString("S", "K", "v"));
        std::string value;
        EXPECT_TRUE(store.ReadString("S", "K", value));
        EXPECT_EQ(value, "v");
    }
    EXPECT_EQ(Lines(PathOf(name)), (std::vector<std::string>{"[S]", "K=v"}));
    EXPECT_FALSE(FileExists(inWindows));
    DeleteFileA(inWindows.c_str());
}

TEST_F(ProfileTest, AnUnwritableLocationFailsSilently)
{
    CreateDirectoryA(PathOf("folder.ini").c_str(), nullptr);
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"folder that does not exist", PathOf("missing\\settings.ini")},
        {"a folder where the file should be", PathOf("folder.ini")},
    };
    for (const Case& c : cases) {
        CProfile store(c.path, false);
        EXPECT_TRUE(store.WriteString("S", "K", "v")) << c.name;
        EXPECT_TRUE(store.WriteInt("S", "I", 1)) << c.name;
        EXPECT_TRUE(store.WriteBool("S", "B", true)) << c.name;
        EXPECT_TRUE(store.WriteStringArray("S", "A", {"x", "y"})) << c.name;
        EXPECT_FALSE(store.DeleteKey("S", "K")) << c.name;

        std::string value = kUntouched;
        std::vector<std::string> list = {kUntouched};
        EXPECT_FALSE(store.ReadString("S", "K", value)) << c.name;
        EXPECT_FALSE(store.ReadStringArray("S", "A", list)) << c.name;
        EXPECT_EQ(value, kUntouched) << c.name;
        EXPECT_EQ(list.size(), 1u) << c.name;
    }
    EXPECT_FALSE(FileExists(PathOf("missing")));
}

TEST_F(ProfileTest, ADamagedFileReadsAsWhatThePlatformMakesOfItAndStaysWritable)
{
    std::string garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += static_cast<char>((i * 7919 + 13) & 0xFF);
    struct Case {
        const char* name;
        std::string content;
        // What a read of S/K may give; none when the key must read as absent.
        std::vector<std::string> possible;
    };
    const Case cases[] = {
        {"binary garbage", garbage, {}},
        {"binary garbage before a section", garbage + "\r\n[S]\r\nK=after\r\n", {"after"}},
        {"a long line without line end", std::string(100000, 'x'), {}},
        // Longer values than the store writes come back cut.
        {"a 40000-character value", "[S]\r\nK=" + std::string(40000, 'y') + "\r\n",
         {std::string(CProfile::kMaxValueLength, 'y')}},
        {"a 70000-character value", "[S]\r\nK=" + std::string(70000, 'z') + "\r\n",
         {std::string(CProfile::kMaxValueLength, 'z')}},
        {"a duplicated key", "[S]\r\nK=first\r\nK=second\r\n", {"first", "second"}},
        {"a duplicated section", "[S]\r\nK=first\r\n[S]\r\nK=second\r\n", {"first", "second"}},
        {"a key without equals sign", "[S]\r\nK\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CProfile store = StoreWith(c.content);
        std::string value = kUntouched;
        bool found = store.ReadString("S", "K", value);
        EXPECT_EQ(found, !c.possible.empty());
        if (found) {
            EXPECT_NE(std::find(c.possible.begin(), c.possible.end(), value), c.possible.end());
        }

        int number = 0;
        bool flag = false;
        std::vector<std::string> list;
        store.ReadInt("S", "K", number);
        store.ReadBool("S", "K", flag);
        store.ReadStringArray("S", "K", list);

        EXPECT_TRUE(store.WriteString("S", "New", "written"));
        EXPECT_TRUE(store.ReadString("S", "New", value));
        EXPECT_EQ(value, "written");
    }
}

} // namespace
