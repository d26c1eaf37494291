// Files and folders named in any script: the tree shows them as they are, lists their presets,
// loads them into a bank (the card gets a path it can open), keeps them in the settings across
// a restart and previews their presets.

#include "tests/app/MainWindowFixture.h"

#include "base/WideText.h"
#include "base/resource.h"
#include "browser/SoundFontFileItem.h"
#include "engine/SfmInterface.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/VirtualMidi.h"

namespace {

const char kDevice1[] = "Simulated Synth 1";

struct NameCase {
    const char* script;
    const char* name;
};

// The ANSI code page is Windows-1252 under Wine unless set otherwise: the first name fits it;
// the Greek and the fullwidth names only as best-fit look-alikes ("Omega", "Piano"), which
// name other files.
const NameCase kNames[] = {
    {"Latin-1 letters", "Grüße"},
    {"Greek", "Ωmega"},
    {"Cyrillic", "Звуки"},
    {"Japanese", "日本語"},
    {"an emoji", "🎹 Keys"},
    {"Latin Extended-A", "Ŀlama"},
    {"fullwidth letters", "Ｐｉａｎｏ"},
};

void WriteWide(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(WidenUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

// The file the card's library would open from its 8-bit path, by the 8-bit functions.
bool CardCanOpen(const std::string& cardPath)
{
    HANDLE file = CreateFileA(cardPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

class NamesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_midi.SetInputDevices({"Keys"});
        m_midi.SetOutputDevices({"Synth A"});
        m_parent = FreshFolder("names");
    }

    // A folder named `name` holding "<name>.sf2", listed in the settings; its path.
    std::string ListFolderNamed(const std::string& name)
    {
        std::string folder = m_parent + name;
        EXPECT_TRUE(CreateDirectoryW(WidenUtf8(folder).c_str(), nullptr)) << folder;
        FixtureSoundFont soundFont;
        soundFont.name.reset(); // the card then names the bank "user bank": shown by the file's name
        soundFont.presets = {{"Grand", 0, 0, 16}, {"Brass", 0, 61, 16}};
        WriteWide(folder + "\\" + name + ".sf2", SoundFontBytes(soundFont));
        EXPECT_TRUE(CProfile(IniPath(), false).WriteTextArray("Folders", "LocalSoundFonts", {folder}));
        return folder;
    }

    std::string WideText(HTREEITEM item) const
    {
        wchar_t text[512] = {};
        TVITEMW query = {};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = 512;
        SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        return NarrowToUtf8(text);
    }
    // Lists each branch it looks into, as the fixture's Find does.
    HTREEITEM FindWide(const std::vector<std::string>& texts)
    {
        HTREEITEM item = nullptr;
        for (const std::string& text : texts) {
            ListChildren(item);
            HTREEITEM child = item ? TreeView_GetChild(Tree(), item) : TreeView_GetRoot(Tree());
            while (child && WideText(child) != text)
                child = TreeView_GetNextSibling(Tree(), child);
            if (!child)
                return nullptr;
            item = child;
        }
        return item;
    }
    std::vector<std::string> WideChildTexts(HTREEITEM item)
    {
        std::vector<std::string> texts;
        ListChildren(item);
        for (HTREEITEM child = TreeView_GetChild(Tree(), item); child; child = TreeView_GetNextSibling(Tree(), child))
            texts.push_back(WideText(child));
        return texts;
    }
    std::string LastCardPath() const
    {
        char path[1024] = {};
        Sim().LastPath(path, sizeof path, nullptr, nullptr);
        return path;
    }

    VirtualMidi m_midi;
    std::string m_parent;
};

} // namespace

TEST_F(NamesTest, NamesInAnyScriptAreShownListedLoadedKeptAndPreviewed)
{
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.script);
        Sim().Reset();
        const std::string name = c.name;
        const std::string folder = ListFolderNamed(name);
        const std::string file = name + ".sf2";
        const std::string filePath = folder + "\\" + file;
        // The file dialog's last folder, in the same letters, goes through the same file.
        CProfile(IniPath(), false).WriteText("General", "LastOpenDir", folder + "\\");

        ASSERT_NE(Open(), nullptr);
        ASSERT_NE(FindWide({"Sound Files on disk", folder}), nullptr) << folder;
        ASSERT_NE(FindWide({"Sound Files on disk", folder, file}), nullptr) << file;
        EXPECT_EQ(WideChildTexts(FindWide({"Sound Files on disk", folder, file})),
                  (std::vector<std::string>{"000-000 Grand", "000-061 Brass"}));

        // Loaded by a double click: by its own path where the code page can write it, else by
        // its short one; either way the card opens it, and the bank is named after the file.
        PointAt(FindWide({"Sound Files on disk", folder, file}));
        NotifyTree(NM_DBLCLK);
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        const std::string cardPath = LastCardPath();
        EXPECT_TRUE(CardCanOpen(cardPath)) << cardPath;
        if (std::optional<std::string> exact = ExactAnsi(WidenUtf8(filePath)))
            EXPECT_EQ(cardPath, *exact);
        else
            EXPECT_NE(cardPath.find('~'), std::string::npos) << cardPath;
        HTREEITEM bank = FindWide({"Loaded SoundFonts", kDevice1, "126 - " + name});
        ASSERT_NE(bank, nullptr) << ::testing::PrintToString(Lines());
        EXPECT_EQ(WideChildTexts(bank).size(), 2u);

        // Previewed: the preset goes to the card by a path it opens too.
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        TreeView_SelectItem(Tree(), FindWide({"Sound Files on disk", folder, file, "000-061 Brass"}));
        EXPECT_EQ(Sim().CallCount(SfmSlot::LoadPreset), 1u);
        EXPECT_EQ(LastCardPath(), cardPath);
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);

        // A restart finds the folder and the last folder of the file dialog again.
        Close();
        std::vector<std::string> saved;
        EXPECT_TRUE(CProfile(IniPath(), false).ReadTextArray("Folders", "LocalSoundFonts", saved));
        EXPECT_EQ(saved, std::vector<std::string>{folder});
        std::string lastOpenDir;
        EXPECT_TRUE(CProfile(IniPath(), false).ReadText("General", "LastOpenDir", lastOpenDir));
        EXPECT_EQ(lastOpenDir, folder + "\\");
        ASSERT_NE(Open(), nullptr);
        EXPECT_NE(FindWide({"Sound Files on disk", folder, file, "000-000 Grand"}), nullptr);
        Close();
        DeleteFileA(IniPath().c_str());
    }
}

TEST_F(NamesTest, AFileWhoseNameTheCardCantTakeIsNotHandedToItAndTheMessageSaysWhy)
{
    // No short name exists for a file that is not there, as on a volume without short names.
    CSoundFontManager manager;
    ASSERT_TRUE(manager.Initialize().Ok());
    CSfmDevice device = manager.Open(0);
    ASSERT_TRUE(device.IsOpen());
    EngineResult loaded = device.LoadBank(5, m_parent + "日本語\\なし.sf2");
    EXPECT_EQ(loaded.Code(), EngineResult::kNameNotPassable);
    EXPECT_STREQ(loaded.Text(), "this file's name can't be passed to the sound card: rename it or copy it "
                                "to a folder with a plain name");
    EXPECT_EQ(Sim().CallCount(SfmSlot::LoadBank), 0u) << "the card is not asked";
}

TEST_F(NamesTest, ADamagedFilesMessageNamesItAsItIs)
{
    const std::string folder = m_parent + "damaged";
    ASSERT_TRUE(CreateDirectoryW(WidenUtf8(folder).c_str(), nullptr)) << folder;
    for (const NameCase& c : kNames)
        WriteWide(folder + "\\" + c.name + ".sf2", "not a SoundFont at all");
    ASSERT_TRUE(CProfile(IniPath(), false).WriteTextArray("Folders", "LocalSoundFonts", {folder}));
    ASSERT_NE(Open(), nullptr);

    std::size_t shown = 0;
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.script);
        const std::string file = std::string(c.name) + ".sf2";
        HTREEITEM item = FindWide({"Sound Files on disk", folder, file});
        ASSERT_NE(item, nullptr) << ::testing::PrintToString(Lines());
        PointAt(item);
        NotifyTree(NM_DBLCLK);
        ASSERT_TRUE(m_boxes.WaitForCount(++shown));
        EXPECT_EQ(m_boxes.Texts().back(), DamagedFileMessage(folder + "\\" + file, SoundFontDamage::NotSoundFont));
    }
    EXPECT_EQ(Sim().CallCount(SfmSlot::LoadBank), 0u);
}
