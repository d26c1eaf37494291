// Damaged .sf2 files in the real main window: their own picture, their reason as the item's
// tip, and no menu that could not work.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "engine/SfmInterface.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/sf2/Sf2Image.h"
#include "tests/support/MenuWatcher.h"

namespace {

class DamagedTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_folder = FreshFolder(std::string("damaged-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    }

    std::vector<std::string> RightClick(HTREEITEM item)
    {
        PointAt(item);
        MenuWatcher menu("");
        NotifyTree(NM_RCLICK);
        return menu.Entries();
    }

    // What the tree's tip for `item` would show, asked as the tree asks its parent.
    std::string TipOf(HTREEITEM item)
    {
        char text[INFOTIPSIZE] = "left over";
        NMTVGETINFOTIPA tip = {};
        tip.hdr = {Tree(), IDC_SOUND_TREE, static_cast<UINT>(TVN_GETINFOTIPA)};
        tip.pszText = text;
        tip.cchTextMax = sizeof text;
        tip.hItem = item;
        SendMessageA(Window(), WM_NOTIFY, IDC_SOUND_TREE, reinterpret_cast<LPARAM>(&tip));
        return text;
    }

    HTREEITEM File(const std::string& name) { return Find({"Sound Files on disk", m_listed, name}); }

    std::string m_folder;
    std::string m_listed;
};

} // namespace

TEST_F(DamagedTest, EachDamagedFileShowsItsPictureItsReasonAndNoMenu)
{
    struct Row {
        std::string file;
        SoundFontDamage damage;
    };
    std::vector<Row> rows;
    int index = 0;
    for (const DamagedImage& damaged : DamagedImages()) {
        rows.push_back({"damaged-" + std::to_string(index++) + ".sf2", damaged.damage});
        ::WriteFile(m_folder + rows.back().file, damaged.image);
    }
    // A file another program holds without sharing it can't be opened at all.
    rows.push_back({"in-use.sf2", SoundFontDamage::CantOpen});
    FixtureSoundFont whole;
    whole.presets = {{"Grand", 0, 0, 16}};
    WriteSoundFont(m_folder + "in-use.sf2", whole);
    WriteSoundFont(m_folder + "whole.sf2", whole);
    HANDLE held = CreateFileA((m_folder + "in-use.sf2").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Open();
    // The folder's files are read when its branch is first opened.
    ASSERT_FALSE(ChildTexts(Find({"Sound Files on disk", m_listed})).empty());
    CloseHandle(held);
    EXPECT_NE(GetWindowLongA(Tree(), GWL_STYLE) & TVS_INFOTIP, 0);

    const std::pair<int, int> damagedPictures{kDamagedPicture, kDamagedPicture};
    EXPECT_EQ(ImageList_GetImageCount(TreeView_GetImageList(Tree(), TVSIL_NORMAL)), kPictureCount);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        HTREEITEM item = File(row.file);
        ASSERT_NE(item, nullptr) << ::testing::PrintToString(Lines());
        EXPECT_EQ(RecordOf(item)->kind, TreeItemKind::DamagedSoundFontFile);
        EXPECT_EQ(ImagesOf(item), damagedPictures);
        EXPECT_EQ(TipOf(item), DamageText(row.damage));
        EXPECT_TRUE(ChildTexts(item).empty());
        EXPECT_TRUE(RightClick(item).empty());
    }
    HTREEITEM whole_item = File("whole.sf2");
    EXPECT_EQ(TipOf(whole_item), "");
    EXPECT_EQ(RightClick(whole_item), (std::vector<std::string>{"Load", "Load into Bank"}));
    EXPECT_NE(ImagesOf(whole_item), damagedPictures);
    EXPECT_EQ(TipOf(Find({"Sound Files on disk"})), "");
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
    EXPECT_EQ(Sim().CallCount(static_cast<int>(SfmSlot::LoadBank)), 0u);
}

TEST_F(DamagedTest, ASelectedDamagedFileShowsTheFreeMemoryAlone)
{
    ::WriteFile(m_folder + "broken.sf2", DamagedImages().front().image);
    ASSERT_EQ(Sim().SetDeviceMemory(0, 32u << 20), 0);
    Open();
    TreeView_SelectItem(Tree(), File("broken.sf2"));
    HWND meter = GetDlgItem(Window(), 1023);
    char text[256] = {};
    GetWindowTextA(meter, text, sizeof text);
    EXPECT_STREQ(text, "32.0 MB Free");
    EXPECT_TRUE(IsWindowEnabled(meter));
}
