// Deep and odd folder trees in the main window: as deep as paths reach and deeper, names with
// blanks, letters beyond ASCII, printf directives and dots in odd places, folders named like
// sound files, and folders and files that vanish before their branches are opened.

#include "tests/app/MainWindowFixture.h"

#include "base/Diagnostics.h"
#include "base/resource.h"
#include "browser/TreeBuilder.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualMidi.h"

#include <algorithm>
#include <memory>

namespace {

const char kDevice1[] = "Simulated Synth 1";

std::wstring Wide(const std::string& text)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<std::size_t>(size) - 1);
    return wide;
}

// Paths beyond the platform's usual limit are reached through the "\\?\" prefix.
std::wstring LongPath(const std::string& path)
{
    return L"\\\\?\\" + Wide(path);
}

// Removes a folder with everything in it, however deep.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// A new, empty folder of the test's own under the temporary folder; no separator at the end.
std::string NewFolder(const std::string& name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "tonewell-trees-" + name;
    RemoveTree(LongPath(folder));
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

FixtureSoundFont SmallSoundFont()
{
    FixtureSoundFont soundFont;
    soundFont.name = "Small";
    soundFont.presets = {{"Grand", 0, 0, 16}};
    return soundFont;
}

// The lines of the disk branch only.
TreeLines DiskLines(const TreeLines& lines)
{
    return TreeLines(std::find(lines.begin(), lines.end(), "1 Sound Files on disk"), lines.end());
}

int DeepestLevel(const TreeLines& lines)
{
    int deepest = 0;
    for (const std::string& line : lines)
        deepest = std::max(deepest, std::stoi(line));
    return deepest;
}

std::vector<std::string> Sorted(std::vector<std::string> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

class FolderTreesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_traces = std::make_unique<TraceCapture>();
        m_listed = NewFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        m_traces.reset();
        RemoveTree(LongPath(m_listed));
    }

    void ListFolders(const std::vector<std::string>& folders)
    {
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", folders);
    }
    bool Traced(const std::string& text) const
    {
        return std::any_of(m_traces->Lines().begin(), m_traces->Lines().end(),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }
    TreeItemKind KindAt(const std::vector<std::string>& path)
    {
        HTREEITEM item = Find(path);
        return item ? RecordOf(item)->kind : TreeItemKind::LoadedRoot;
    }

    std::unique_ptr<TraceCapture> m_traces;
    std::string m_listed;
    VirtualMidi m_midi;
};

} // namespace

TEST_F(FolderTreesTest, TreeAsDeepAsPathsReachIsListedToTheBottom)
{
    // One-letter folders inside each other until the platform refuses a longer path; a
    // SoundFont in the deepest folder that still has room for its name.
    std::vector<std::string> folders = {m_listed};
    while (CreateDirectoryA((folders.back() + "\\d").c_str(), nullptr))
        folders.push_back(folders.back() + "\\d");
    const std::size_t depth = folders.size() - 1;
    ASSERT_GT(depth, 50u);
    std::size_t withFile = depth;
    while ((folders[withFile] + "\\s.sf2").size() >= MAX_PATH)
        --withFile;
    WriteSoundFont(folders[withFile] + "\\s.sf2", SmallSoundFont());
    ListFolders({m_listed});

    ASSERT_NE(Open(), nullptr);
    TreeLines expected = {"1 Sound Files on disk", "2 " + m_listed};
    for (std::size_t level = 0; level <= depth; ++level) {
        if (level > 0)
            expected.push_back(std::to_string(2 + level) + " d");
        if (level == withFile) {
            expected.push_back(std::to_string(3 + level) + " s.sf2");
            expected.push_back(std::to_string(4 + level) + " 000-000 Grand");
        }
    }
    EXPECT_EQ(DiskLines(Lines()), expected);

    // The deepest SoundFont loads like any other.
    std::vector<std::string> path = {"Sound Files on disk", m_listed};
    path.insert(path.end(), withFile, "d");
    path.push_back("s.sf2");
    PointAt(Find(path));
    NotifyTree(NM_DBLCLK);
    EXPECT_NE(Find({"Loaded SoundFonts", kDevice1, "126 - Small"}), nullptr);
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(FolderTreesTest, TreeDeeperThanPathsReachEndsAtTheDeepestLevelOfTheTree)
{
    // Below the usual path limit the shell names folders by paths it cuts short, and would
    // list the same folder again and again: the tree stops where its level table ends.
    std::wstring folder = LongPath(m_listed);
    for (int level = 0; level < 150; ++level) {
        folder += L"\\d";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << level;
    }
    ListFolders({m_listed});
    ASSERT_NE(Open(), nullptr);
    TreeLines lines = DiskLines(Lines());
    EXPECT_EQ(DeepestLevel(lines), CTreeBuilder::kDeepestFolderLevel);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(CTreeBuilder::kDeepestFolderLevel));
    // The line names the folder first; a trace line ends at 255 characters, before the reason.
    EXPECT_TRUE(Traced(") Folder " + m_listed + "\\d\\d\\d")) << ::testing::PrintToString(m_traces->Lines());
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(FolderTreesTest, OddNamesAreShownAndReachTheEngineAsTheyAre)
{
    CPINFO codePage = {};
    if (!GetCPInfo(CP_ACP, &codePage) || codePage.MaxCharSize != 1)
        GTEST_SKIP() << "the names below are letters of a single-byte ANSI code page";
    // Letters beyond ASCII as the ANSI code page (Windows-1252 here) has them.
    const std::string sounds = "Kl\xE4nge \xE4\xF6\xFC \xDF";
    const std::string flute = "Fl\xF6te & Horn.sf2";
    const std::string nordic = "\xC6\xD8\xC5.WAV";
    const std::string directives = "%s%n%x.sf2";
    for (const char* name : {"with space", "x.sf2", "y.wav"})
        CreateDirectoryA((m_listed + "\\" + name).c_str(), nullptr);
    CreateDirectoryA((m_listed + "\\" + sounds).c_str(), nullptr);
    WriteBytes(m_listed + "\\with space\\inner file.wav", WaveBytes(64));
    WriteSoundFont(m_listed + "\\" + sounds + "\\" + flute, SmallSoundFont());
    WriteBytes(m_listed + "\\" + sounds + "\\" + nordic, WaveBytes(64));
    WriteSoundFont(m_listed + "\\x.sf2\\real.sf2", SmallSoundFont());
    WriteSoundFont(m_listed + "\\a.b.sf2", SmallSoundFont());
    WriteBytes(m_listed + "\\dots..sf2", "not a SoundFont");
    WriteBytes(m_listed + "\\" + directives, "not a SoundFont");
    WriteBytes(m_listed + "\\semi;colon,comma.wav", WaveBytes(64));
    WriteBytes(m_listed + "\\noext", WaveBytes(64));
    WriteBytes(m_listed + "\\" + std::string(150, 'l') + ".sf2", "not a SoundFont");
    ListFolders({m_listed});

    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Sorted(ChildTexts(Find({"Sound Files on disk", m_listed}))),
              Sorted({directives, "a.b.sf2", "dots..sf2", "semi;colon,comma.wav", std::string(150, 'l') + ".sf2",
                      "with space", "x.sf2", "y.wav", sounds}));
    EXPECT_EQ(KindAt({"Sound Files on disk", m_listed, "x.sf2"}), TreeItemKind::SubFolder);
    EXPECT_EQ(KindAt({"Sound Files on disk", m_listed, "y.wav"}), TreeItemKind::SubFolder);
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk", m_listed, "x.sf2"})), std::vector<std::string>{"real.sf2"});
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk", m_listed, "a.b.sf2"})),
              std::vector<std::string>{"000-000 Grand"});
    // Known as a .sf2 file by its name, and as damaged by its contents.
    EXPECT_EQ(KindAt({"Sound Files on disk", m_listed, directives}), TreeItemKind::DamagedSoundFontFile);
    EXPECT_TRUE(ChildTexts(Find({"Sound Files on disk", m_listed, directives})).empty());
    EXPECT_TRUE(Traced("Couldn't get preset list for soundfont " + m_listed + "\\" + directives + "\n"));
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk", m_listed, "with space"})),
              std::vector<std::string>{"inner file.wav"});
    EXPECT_EQ(Sorted(ChildTexts(Find({"Sound Files on disk", m_listed, sounds}))), Sorted({flute, nordic}));
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk", m_listed, sounds, flute})),
              std::vector<std::string>{"000-000 Grand"});

    // The 8-bit path reaches the engine whole, for a load and for a preview.
    m_midi.SetInputDevices({"Keys"});
    m_midi.SetOutputDevices({"Synth A"});
    PointAt(Find({"Sound Files on disk", m_listed, sounds, flute}));
    NotifyTree(NM_DBLCLK);
    EXPECT_NE(Find({"Loaded SoundFonts", kDevice1, "126 - Small"}), nullptr) << ::testing::PrintToString(Lines());
    char engineSaw[1024] = {};
    Sim().LastPath(engineSaw, sizeof engineSaw, nullptr, nullptr);
    EXPECT_EQ(std::string(engineSaw), m_listed + "\\" + sounds + "\\" + flute);
    SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
    TreeView_SelectItem(Tree(), Find({"Sound Files on disk", m_listed, sounds, nordic}));
    Sim().LastPath(engineSaw, sizeof engineSaw, nullptr, nullptr);
    EXPECT_EQ(std::string(engineSaw), m_listed + "\\" + sounds + "\\" + nordic);
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

// A folder and a SoundFont shown in their folder's branch and gone before their own branches
// are opened: each opens empty and loses its expand button, and only a trace says why.
TEST_F(FolderTreesTest, ItemsThatVanishBeforeTheirBranchesAreOpenedOpenEmpty)
{
    for (const char* name : {"A", "B"}) {
        const std::string folder = m_listed + "\\" + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\deep").c_str(), nullptr);
        WriteSoundFont(folder + "\\good.sf2", SmallSoundFont());
        WriteBytes(folder + "\\deep\\one.wav", WaveBytes(64));
    }
    ListFolders({m_listed});
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(Sorted(ChildTexts(Find({"Sound Files on disk", m_listed}))), (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(ChildTexts(Find({"Sound Files on disk", m_listed, "A"})),
              (std::vector<std::string>{"good.sf2", "deep"}));
    RemoveTree(LongPath(m_listed + "\\B"));
    ASSERT_TRUE(DeleteFileA((m_listed + "\\A\\good.sf2").c_str()));

    struct Case {
        std::vector<std::string> path;
        std::vector<std::string> children;
    };
    const Case cases[] = {
        {{"Sound Files on disk", m_listed, "B"}, {}},
        {{"Sound Files on disk", m_listed, "A", "good.sf2"}, {}},
        {{"Sound Files on disk", m_listed, "A", "deep"}, {"one.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.path));
        HTREEITEM item = OpenPath(c.path);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(ChildTexts(item), c.children);
        EXPECT_EQ(HasButton(item), !c.children.empty());
    }
    EXPECT_TRUE(Traced("Couldn't get preset list for soundfont " + m_listed + "\\A\\good.sf2"));
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(FolderTreesTest, ListedFolderThatVanishesIsShownEmptyAndStaysListed)
{
    CreateDirectoryA((m_listed + "\\sub").c_str(), nullptr);
    WriteSoundFont(m_listed + "\\sub\\s.sf2", SmallSoundFont());
    ListFolders({m_listed});
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(DiskLines(Lines()).size(), 5u);
    RemoveTree(LongPath(m_listed));
    SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
    EXPECT_EQ(DiskLines(Lines()), (TreeLines{"1 Sound Files on disk", "2 " + m_listed}));
    Close();
    std::vector<std::string> saved;
    CProfile(IniPath(), false).ReadStringArray("Folders", "LocalSoundFonts", saved);
    EXPECT_EQ(saved, std::vector<std::string>{m_listed});
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}
