// The sound tree as the main window builds it: devices, banks and presets from the simulated
// card, files and folders from real folders on disk.

#include "tests/app/MainWindowFixture.h"

#include "base/Diagnostics.h"
#include "engine/SfmInterface.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/HiddenExtensions.h"
#include "tests/support/TraceCapture.h"

#include <algorithm>
#include <fstream>

namespace {

FixtureSoundFont SoundFont(std::vector<FixturePreset> presets, std::optional<std::string> name = "Test Bank")
{
    FixtureSoundFont soundFont;
    soundFont.name = std::move(name);
    soundFont.presets = std::move(presets);
    return soundFont;
}

void Touch(const std::string& path)
{
    std::ofstream(path) << "not a sound";
}

// Every case runs with extensions hidden, as Windows has it by default, and shown.
class SoundTreeTest : public MainWindowTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        m_extensions = std::make_unique<HiddenExtensions>(GetParam());
        ASSERT_TRUE(m_extensions->Applied());
        MainWindowTest::SetUp();
        m_traces = std::make_unique<TraceCapture>();
    }
    void TearDown() override
    {
        m_traces.reset();
        MainWindowTest::TearDown();
        m_extensions.reset();
    }

    // The name under which the shell shows the file inside its folder.
    static std::string Shown(const std::string& path) { return CShellItem(path).GetDisplayName(); }

    // Lists `folders` in the settings file, as earlier runs would have left them.
    void ListFolders(const std::vector<std::string>& folders)
    {
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", folders);
    }

    TreeItemKind KindOf(HTREEITEM item) const { return RecordOf(item)->kind; }

    std::unique_ptr<TraceCapture> m_traces;
    std::unique_ptr<HiddenExtensions> m_extensions;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Extensions, SoundTreeTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Hidden" : "Shown";
                         });

TEST_P(SoundTreeTest, FolderListsItsSoundFontsAndWavesFirstThenItsSubfoldersInReverse)
{
    std::string folder = FreshFolder("tree-files");
    WriteSoundFont(folder + "a.sf2", SoundFont({{"Piano", 0, 0, 10}, {"Kit", 128, 0, 10}}));
    WriteSoundFont(folder + "b.SF2", SoundFont({{"Organ", 0, 19, 10}}));
    WriteSoundFont(folder + "c.Sf2", SoundFont({{"Hidden", 0, 1, 10}}));
    WriteBytes(folder + "d.WAV", WaveBytes(64));
    WriteBytes(folder + "e.wav", WaveBytes(64));
    Touch(folder + "f.txt");
    CreateDirectoryA((folder + "X").c_str(), nullptr);
    CreateDirectoryA((folder + "Y").c_str(), nullptr);
    WriteBytes(folder + "X\\in-x.wav", WaveBytes(64));
    std::string listed = folder.substr(0, folder.size() - 1);
    ListFolders({listed});

    Open();
    HTREEITEM root = Find({"Sound Files on disk"});
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(IsExpanded(root));
    HTREEITEM listedItem = TreeView_GetChild(Tree(), root);
    ASSERT_EQ(ItemText(listedItem), listed);
    EXPECT_EQ(KindOf(listedItem), TreeItemKind::ListedFolder);

    // The subfolders come in the reverse of the shell's own order.
    CShellItemList shellFolders;
    ASSERT_GE(CShellItem(listed).EnumChildren(shellFolders, SHCONTF_FOLDERS), 0);
    ASSERT_EQ(shellFolders.size(), 2u);
    std::vector<std::string> children = ChildTexts(listedItem);
    ASSERT_EQ(children.size(), 6u) << ::testing::PrintToString(children);
    // The kind comes from the path; the text is what the shell shows, with or without extension.
    if (GetParam()) {
        EXPECT_EQ(Shown(folder + "e.wav"), "e") << "the shell shows extensions although told to hide them";
    }
    std::vector<std::string> files(children.begin(), children.begin() + 4);
    std::sort(files.begin(), files.end());
    std::vector<std::string> expected;
    for (const char* name : {"a.sf2", "b.SF2", "d.WAV", "e.wav"})
        expected.push_back(Shown(folder + name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files, expected);
    EXPECT_EQ(children[4], shellFolders[1].GetDisplayName());
    EXPECT_EQ(children[5], shellFolders[0].GetDisplayName());

    const std::string aShown = Shown(folder + "a.sf2");
    HTREEITEM a = Find({"Sound Files on disk", listed, aShown});
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(KindOf(a), TreeItemKind::SoundFontFile);
    EXPECT_EQ(ChildTexts(a), (std::vector<std::string>{"000-000 Piano", "128-000 Kit"}));
    HTREEITEM kit = Find({"Sound Files on disk", listed, aShown, "128-000 Kit"});
    CTreeItemData* kitRecord = RecordOf(kit);
    EXPECT_EQ(kitRecord->kind, TreeItemKind::FilePreset);
    EXPECT_EQ(kitRecord->fileBank, 128);
    EXPECT_EQ(kitRecord->bank, 128);
    EXPECT_EQ(kitRecord->item.GetPath(), folder + "a.sf2");
    EXPECT_EQ(ImagesOf(kit), std::make_pair(kPercussionPicture, kPercussionPicture));
    HTREEITEM piano = Find({"Sound Files on disk", listed, aShown, "000-000 Piano"});
    EXPECT_EQ(ImagesOf(piano).first, kMelodicPicture);
    HTREEITEM wave = Find({"Sound Files on disk", listed, Shown(folder + "d.WAV")});
    EXPECT_EQ(KindOf(wave), TreeItemKind::WaveFile);
    EXPECT_EQ(ImagesOf(wave).first, kWavePicture);
    HTREEITEM x = Find({"Sound Files on disk", listed, "X"});
    EXPECT_EQ(KindOf(x), TreeItemKind::SubFolder);
    EXPECT_EQ(ImagesOf(x), std::make_pair(kFolderPicture, kFolderOpenPicture));
    EXPECT_EQ(ChildTexts(x), std::vector<std::string>{Shown(folder + "X\\in-x.wav")});
}

TEST_P(SoundTreeTest, LoadedBankListsEnginePresetsOfBankZeroAndFilePresetsOfDrumBanks)
{
    std::string folder = FreshFolder("tree-bank");
    WriteSoundFont(folder + "mixed.sf2", SoundFont({{"Drums", 128, 0, 10},
                                                    {"Strings", 0, 48, 10},
                                                    {"Variation", 5, 0, 10},
                                                    {"Grand", 0, 0, 10}}));
    LoadBank(0, 3, folder + "mixed.sf2");
    Open();
    HTREEITEM bank = Find({"Loaded SoundFonts", "Simulated Synth 1", "003 - Test Bank"});
    ASSERT_NE(bank, nullptr) << ::testing::PrintToString(Lines());
    EXPECT_EQ(ChildTexts(bank), (std::vector<std::string>{"000 Grand", "048 Strings", "000 Drums"}));
    CTreeItemData* drums = RecordOf(Find({"Loaded SoundFonts", "Simulated Synth 1", "003 - Test Bank", "000 Drums"}));
    EXPECT_EQ(drums->kind, TreeItemKind::BankPreset);
    EXPECT_EQ(drums->device, 0);
    EXPECT_EQ(drums->bank, 3);
    EXPECT_EQ(drums->fileBank, 128);
    CTreeItemData* bankRecord = RecordOf(bank);
    EXPECT_EQ(bankRecord->kind, TreeItemKind::LoadedBank);
    EXPECT_EQ(bankRecord->bank, 3);
    EXPECT_EQ(ImagesOf(bank).first, kSoundFontPicture);
}

TEST_P(SoundTreeTest, UserBankShowsItsFileNameAndAWrongBankAnswerHidesTheBank)
{
    std::string folder = FreshFolder("tree-user");
    WriteSoundFont(folder + "Piano.v2.sf2", SoundFont({{"Grand", 0, 0, 10}}, std::nullopt));
    LoadBank(1, 5, folder + "Piano.v2.sf2");
    LoadBank(1, 9, folder + "Piano.v2.sf2");
    Sim().AnswerBankAs(1, 9, 8);
    Open();
    EXPECT_EQ(ChildTexts(Find({"Loaded SoundFonts", "Simulated Synth 2"})),
              std::vector<std::string>{"005 - Piano.v2"});
}

TEST_P(SoundTreeTest, DevicesFollowTheirDeviceMapEntries)
{
    CProfile profile(IniPath(), false);
    profile.WriteStringArray("Preview", "DevMapArray_SFDevName", {"Simulated Synth 1"});
    profile.WriteBoolArray("Preview", "DevMapArray_Enable", {false});
    Open();
    EXPECT_EQ(ChildTexts(Find({"Loaded SoundFonts"})), std::vector<std::string>{"Simulated Synth 2"});
    EXPECT_EQ(RecordOf(Find({"Loaded SoundFonts", "Simulated Synth 2"}))->device, 1);
    // The device the map had never seen gained an entry, enabled.
    Close();
    std::vector<std::string> names;
    std::vector<bool> enabled;
    profile.ReadStringArray("Preview", "DevMapArray_SFDevName", names);
    profile.ReadBoolArray("Preview", "DevMapArray_Enable", enabled);
    EXPECT_EQ(names, (std::vector<std::string>{"Simulated Synth 1", "Simulated Synth 2"}));
    EXPECT_EQ(enabled, (std::vector<bool>{false, true}));
}

TEST_P(SoundTreeTest, SameFolderTwiceIsShownTwiceAndEmptyListShowsOnlyThePromptToAddOne)
{
    std::string folder = FreshFolder("tree-twice");
    WriteBytes(folder + "one.wav", WaveBytes(64));
    std::string listed = folder.substr(0, folder.size() - 1);
    ListFolders({listed, listed});
    Open();
    TreeLines lines = Lines();
    std::vector<std::string> disk(std::find(lines.begin(), lines.end(), "1 Sound Files on disk"), lines.end());
    const std::string one = "3 " + Shown(folder + "one.wav");
    EXPECT_EQ(disk, (std::vector<std::string>{"1 Sound Files on disk", "2 " + listed, one, "2 " + listed, one}));
    Close();

    DeleteFileA(IniPath().c_str());
    Open();
    const std::vector<std::string> children = ChildTexts(Find({"Sound Files on disk"}));
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].rfind("Add a folder of SoundFonts", 0), 0u) << children[0];
}

TEST_P(SoundTreeTest, WithoutDevicesTheRefreshSaysSoAndLeavesTheTreeAlone)
{
    std::string folder = FreshFolder("tree-nodevice");
    ListFolders({folder.substr(0, folder.size() - 1)});
    Open();
    TreeLines before = Lines();
    ASSERT_EQ(before.size(), 5u);
    Sim().SetDeviceCount(0);
    SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(1028, BN_CLICKED), 0);
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    EXPECT_EQ(m_boxes.Texts().at(0), "No SoundFont compatible devices installed");
    EXPECT_EQ(m_boxes.Boxes().at(0).caption, "Error");
    EXPECT_EQ(Lines(), before);
}

TEST_P(SoundTreeTest, UnreadableSoundFontIsTracedAndListedWithoutPresets)
{
    std::string folder = FreshFolder("tree-broken");
    Touch(folder + "broken.sf2");
    ListFolders({folder.substr(0, folder.size() - 1)});
    Open();
    HTREEITEM broken = Find({"Sound Files on disk", folder.substr(0, folder.size() - 1), Shown(folder + "broken.sf2")});
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(HasButton(broken));
    EXPECT_TRUE(ChildTexts(broken).empty());
    bool traced = false;
    for (const std::string& line : m_traces->Lines())
        traced |= line.find(") Couldn't get preset list for soundfont " + folder + "broken.sf2\n") != std::string::npos;
    EXPECT_TRUE(traced) << ::testing::PrintToString(m_traces->Lines());
}

TEST_P(SoundTreeTest, LongNamesAreCutToTheItemTextBuffer)
{
    std::string folder = FreshFolder("tree-long");
    WriteSoundFont(folder + "long.sf2", SoundFont({{"Grand", 0, 0, 10}}, std::string(600, 'n')));
    LoadBank(0, 2, folder + "long.sf2");
    Open();
    std::vector<std::string> banks = ChildTexts(Find({"Loaded SoundFonts", "Simulated Synth 1"}));
    ASSERT_EQ(banks.size(), 1u);
    EXPECT_EQ(banks[0].size(), 255u);
    EXPECT_EQ(banks[0].substr(0, 9), "002 - nnn");
}

TEST_P(SoundTreeTest, RebuildLeavesOnlyRecordsOfTheNewTree)
{
    std::string folder = FreshFolder("tree-rebuild");
    WriteSoundFont(folder + "a.sf2", SoundFont({{"Piano", 0, 0, 10}}));
    ListFolders({folder.substr(0, folder.size() - 1)});
    Open();
    const std::vector<std::string> file{"Sound Files on disk", folder.substr(0, folder.size() - 1), Shown(folder + "a.sf2")};
    for (int refresh = 0; refresh < 3; ++refresh) {
        ASSERT_NE(OpenPath(file), nullptr);
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(1028, BN_CLICKED), 0);
    }
    Lines();

    // The records are one list, reached from any item's record.
    const CTreeItemData* first = RecordOf(TreeView_GetRoot(Tree()));
    ASSERT_NE(first, nullptr);
    while (first->Previous())
        first = first->Previous();
    std::vector<const CTreeItemData*> listed;
    for (const CTreeItemData* record = first; record; record = record->Next())
        listed.push_back(record);
    std::vector<const CTreeItemData*> shown;
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM parent) {
        for (HTREEITEM item = parent ? TreeView_GetChild(Tree(), parent) : TreeView_GetRoot(Tree()); item;
             item = TreeView_GetNextSibling(Tree(), item)) {
            shown.push_back(RecordOf(item));
            walk(item);
        }
    };
    walk(nullptr);
    // Records are kept in the order their items were inserted, branch by branch as opened.
    std::sort(shown.begin(), shown.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(shown, listed);
    EXPECT_EQ(listed.size(), TreeView_GetCount(Tree()));
}
