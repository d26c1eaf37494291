// Files and folders dropped from Explorer onto the real main window, delivered as the shell
// delivers them: a WM_DROPFILES message with a DROPFILES block of wide paths.

#include "tests/app/MainWindowFixture.h"

#include "base/WideText.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

const char kDevice1[] = "Simulated Synth 1";
const char kDevice2[] = "Simulated Synth 2";

std::wstring Wide(const std::string& text)
{
    return WidenAnsi(text);
}

class DropTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_folder = FreshFolder(std::string("drop-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        WriteNamedSoundFont("small.sf2", "Small");
    }

    // A SoundFont named `name` in the test's folder under `file`, which may hold any letters.
    std::wstring WriteNamedSoundFont(const std::wstring& file, const std::string& name)
    {
        FixtureSoundFont soundFont;
        soundFont.name = name;
        soundFont.presets = {{"Grand", 0, 0, 16}};
        WriteSoundFont(m_folder + "written.sf2", soundFont);
        std::wstring path = Wide(m_folder) + file;
        MoveFileExW(Wide(m_folder + "written.sf2").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        return path;
    }
    std::wstring WriteNamedSoundFont(const std::string& file, const std::string& name)
    {
        return WriteNamedSoundFont(Wide(file), name);
    }
    std::wstring MakeFolder(const std::wstring& name)
    {
        std::wstring path = Wide(m_folder) + name;
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }
    std::wstring WriteOther(const std::string& name, const std::string& bytes)
    {
        WriteBytes(m_folder + name, bytes);
        return Wide(m_folder + name);
    }

    void Drop(const std::vector<std::wstring>& paths, HTREEITEM target)
    {
        DropOnto(paths, target);
    }

    std::vector<std::string> Banks(const char* device) { return ChildTexts(Find({"Loaded SoundFonts", device})); }
    // The folders under "Sound Files on disk"; without one it holds the prompt to add one.
    std::vector<std::string> ListedFolders()
    {
        std::vector<std::string> folders = ChildTexts(Find({"Sound Files on disk"}));
        if (folders.size() == 1 && folders[0].rfind("Add a folder of SoundFonts", 0) == 0)
            folders.clear();
        return folders;
    }

    std::string m_folder;
};

bool Holds(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

TEST_F(DropTest, SoundFontsGoWhereTheyAreDropped)
{
    const std::wstring spaced = WriteNamedSoundFont("with spaces in the name.sf2", "Spaced");
    const std::wstring letters = WriteNamedSoundFont(L"Gr\u00FC\u00DFe \u03A9\u03BC\u03AD\u03B3\u03B1.SF2", "Letters");
    struct Case {
        const char* name;
        std::vector<std::string> target; // empty: empty space in the tree
        const char* device;
        std::vector<std::string> banks;  // of `device`, after the drop
    };
    const Case cases[] = {
        // The highest free banks, one after another, as "Load" chooses them.
        {"onto a device", {"Loaded SoundFonts", kDevice2}, kDevice2, {"126 - Letters", "127 - Spaced"}},
        // Both replace the bank in turn: the last one dropped stays.
        {"onto a loaded bank", {"Loaded SoundFonts", kDevice1, "004 - Small"}, kDevice1, {"004 - Letters"}},
        {"onto a preset of a bank", {"Loaded SoundFonts", kDevice1, "004 - Small", "000 Grand"}, kDevice1, {"004 - Letters"}},
        // The default device, sparing its preview bank 127.
        {"onto empty space", {}, kDevice1, {"004 - Small", "125 - Letters", "126 - Spaced"}},
        {"onto the disk branch", {"Sound Files on disk"}, kDevice1, {"004 - Small", "125 - Letters", "126 - Spaced"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sim().Reset();
        LoadBank(0, 4, m_folder + "small.sf2");
        Open();
        HTREEITEM target = nullptr;
        if (!c.target.empty()) {
            target = Find(c.target);
            ASSERT_NE(target, nullptr) << ::testing::PrintToString(Lines());
        }
        Drop({spaced, letters}, target);
        EXPECT_EQ(Banks(c.device), c.banks);
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        Close();
    }
}

TEST_F(DropTest, FoldersAreListedWhenNoSoundFontCameWithThemOrOnTheDiskBranch)
{
    const std::wstring folderA = MakeFolder(L"Folder with spaces");
    const std::wstring folderB = MakeFolder(L"Ordner \u00DC\u03A9");
    const std::wstring spaced = WriteNamedSoundFont("with spaces.sf2", "Spaced");
    const std::wstring notes = WriteOther("notes.txt", "not a sound");
    struct Case {
        const char* name;
        std::vector<std::wstring> dropped;
        std::vector<std::string> target;
        std::size_t listedFolders;
        bool loaded;
    };
    const Case cases[] = {
        {"folders alone, onto a device", {folderA, folderB, notes}, {"Loaded SoundFonts", kDevice2}, 2, false},
        {"folders alone, onto empty space", {folderA, folderB}, {}, 2, false},
        {"with a SoundFont, onto the disk branch", {folderA, spaced, notes}, {"Sound Files on disk"}, 1, true},
        {"with a SoundFont, onto empty space", {folderA, spaced, notes}, {}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sim().Reset();
        Open();
        Drop(c.dropped, c.target.empty() ? nullptr : Find(c.target));
        EXPECT_EQ(ListedFolders().size(), c.listedFolders) << ::testing::PrintToString(ListedFolders());
        EXPECT_EQ(Holds(Banks(kDevice1), "126 - Spaced"), c.loaded);
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        Close();
        EXPECT_EQ(SavedFolders().size(), c.listedFolders);
        DeleteFileA(IniPath().c_str());
    }
    // The listed folders are the dropped ones, and a SoundFont in one is listed under it.
    Sim().Reset();
    Open();
    Drop({folderA}, nullptr);
    std::vector<std::string> listed = ListedFolders();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_NE(listed[0].find("Folder with spaces"), std::string::npos) << listed[0];
}

TEST_F(DropTest, ADropWithNothingUsableSaysSoOnce)
{
    const std::vector<std::wstring> dropped = {WriteOther("notes.txt", "not a sound"),
                                               WriteOther("tone.wav", WaveBytes(64)),
                                               Wide(m_folder + "gone.sf2")};
    Open();
    const TreeLines before = Lines();
    Drop(dropped, Find({"Loaded SoundFonts"}));
    // The watcher counts a box once it is gone, a moment after the window's thread goes on.
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    Sleep(200);
    ASSERT_EQ(m_boxes.Texts().size(), 1u);
    EXPECT_NE(m_boxes.Texts()[0].find("Nothing was dropped"), std::string::npos) << m_boxes.Texts()[0];
    EXPECT_EQ(Lines(), before);
    Close();
    EXPECT_TRUE(SavedFolders().empty());
}

TEST_F(DropTest, AFileThatFailsToLoadDoesNotStopTheOthers)
{
    const std::wstring first = WriteNamedSoundFont("first.sf2", "First");
    const std::wstring broken = WriteOther("broken.sf2", "RIFF\x04\0\0\0sfbk not a SoundFont at all");
    const std::wstring third = WriteNamedSoundFont("third.sf2", "Third");
    Open();
    Drop({first, broken, third}, Find({"Loaded SoundFonts", kDevice2}));
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    Sleep(200);
    ASSERT_EQ(m_boxes.Texts().size(), 1u) << ::testing::PrintToString(m_boxes.Texts());
    EXPECT_EQ(m_boxes.Texts()[0].rfind("Error loading SoundFont (", 0), 0u) << m_boxes.Texts()[0];
    EXPECT_EQ(Banks(kDevice2), (std::vector<std::string>{"126 - Third", "127 - First"}));
    // The tree shows the last bank loaded, open at its first preset.
    HTREEITEM third126 = Find({"Loaded SoundFonts", kDevice2, "126 - Third"});
    ASSERT_NE(third126, nullptr);
    EXPECT_EQ(TreeView_GetSelection(Tree()), TreeView_GetChild(Tree(), third126));
    EXPECT_EQ(Sim().OpenCount(1), 0u);
}
