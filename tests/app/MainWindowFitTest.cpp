// Whether a SoundFont on disk fits, in the real main window: the meter names what a selected
// file needs, and a load that can't fit is refused before the card is asked.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "browser/SampleMemoryFit.h"
#include "engine/SfmInterface.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/sf2/Sf2Image.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/MenuWatcher.h"

namespace {

const char kDevice1[] = "Simulated Synth 1";
constexpr std::uint64_t kMegabyte = 1u << 20;

class FitTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_folder = FreshFolder(std::string("fit-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        Write("small.sf2", "Small", 0);
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    }

    // A SoundFont whose sample chunk declares `sampleBytes` (0: a small real one).
    void Write(const std::string& file, const std::string& name, std::uint64_t sampleBytes)
    {
        FixtureSoundFont soundFont;
        soundFont.name = name;
        soundFont.presets = {{"Grand", 0, 0, 16}};
        if (sampleBytes != 0)
            soundFont.declaredSampleBytes = sampleBytes;
        WriteSoundFont(m_folder + file, soundFont);
    }

    std::vector<std::string> RightClick(HTREEITEM item, const std::string& choice = std::string())
    {
        PointAt(item);
        MenuWatcher menu(choice);
        NotifyTree(NM_RCLICK);
        return menu.Entries();
    }

    HTREEITEM File(const std::string& name) { return Find({"Sound Files on disk", m_listed, name}); }

    // As UTF-8: the meter's separator is beyond ASCII.
    std::string MeterText() const
    {
        wchar_t wide[256] = {};
        GetWindowTextW(GetDlgItem(Window(), IDC_MEMORY_TEXT), wide, 256);
        char text[512] = {};
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return text;
    }

    std::string m_folder;
    std::string m_listed;
};

} // namespace

TEST_F(FitTest, TheMeterSaysWhatASelectedFileNeedsOfTheDeviceItWouldLoadInto)
{
    Write("big.sf2", "Big", 48 * kMegabyte);
    // Presets, but no sample data list to measure.
    ::WriteFile(m_folder + "sizeless.sf2",
                Riff({List("pdta", {Chunk("phdr", Concat({Record("Grand", 0, 0), TerminalRecord()}))})}));
    ASSERT_EQ(Sim().SetDeviceMemory(0, 32 * kMegabyte), 0);
    Open();
    const std::string free = "32.0 MB Free";
    const struct {
        const char* file;
        std::string text;
    } cases[] = {
        {"small.sf2", MeterTextWithNeed(free, 32 * kMegabyte, 32)},
        {"big.sf2", free + " \xC2\xB7 needs 48.0 MB: too large"},
        {"sizeless.sf2", free},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TreeView_SelectItem(Tree(), File(c.file));
        EXPECT_EQ(MeterText(), c.text);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Window(), IDC_MEMORY_TEXT)));
    }
    EXPECT_EQ(MeterText().find("needs"), std::string::npos);
    EXPECT_EQ(Sim().OpenCount(0), 0u);
}

TEST_F(FitTest, ALoadThatCantFitIsRefusedBeforeTheCardIsAsked)
{
    Write("big.sf2", "Big", 48 * kMegabyte);
    ASSERT_EQ(Sim().SetDeviceMemory(0, 32 * kMegabyte), 0);
    Open();
    const TreeLines before = Lines();
    RightClick(File("big.sf2"), "Load");
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::string>{TooLargeMessage("big.sf2", 48 * kMegabyte, 32 * kMegabyte)});
    EXPECT_EQ(Sim().CallCount(static_cast<int>(SfmSlot::LoadBank)), 0u);
    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(Sim().OpenCount(0), 0u);
}

TEST_F(FitTest, LoadIntoBankCountsWhatTheBankItReplacesGivesBack)
{
    ASSERT_EQ(Sim().SetDeviceMemory(0, 8 * kMegabyte), 0);
    Write("six.sf2", "Six", 6 * kMegabyte);
    Write("five.sf2", "Five", 5 * kMegabyte);
    LoadBank(0, 10, m_folder + "six.sf2");
    const struct {
        const char* name;
        const char* bank;
        bool refused;
        const char* bankAfter;
    } cases[] = {
        {"an empty bank: 2 MB free", "20", true, nullptr},
        {"over the 6 MB bank: 8 MB free", "10", false, "010 - Five"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        const std::uint32_t loadsBefore = Sim().CallCount(static_cast<int>(SfmSlot::LoadBank));
        DialogWatcher destination("Select destination for Sound File", [&](HWND dialog) {
            SetWindowTextA(GetDlgItem(dialog, 1029), c.bank);
            PressButton(dialog, IDOK);
        });
        RightClick(File("five.sf2"), "Load into Bank");
        EXPECT_TRUE(destination.Answered());
        const std::uint32_t loads = Sim().CallCount(static_cast<int>(SfmSlot::LoadBank)) - loadsBefore;
        if (c.refused) {
            ASSERT_TRUE(m_boxes.WaitForCount(1));
            EXPECT_EQ(m_boxes.Texts().back(), TooLargeMessage("five.sf2", 5 * kMegabyte, 2 * kMegabyte));
            EXPECT_EQ(loads, 0u);
        } else {
            EXPECT_EQ(loads, 1u);
            EXPECT_NE(Find({"Loaded SoundFonts", kDevice1, c.bankAfter}), nullptr) << ::testing::PrintToString(Lines());
        }
        Close();
    }
    EXPECT_EQ(m_boxes.Boxes().size(), 1u) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(FitTest, AFileThatFitsLoadsAsBefore)
{
    Open();
    RightClick(File("small.sf2"), "Load");
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
    EXPECT_NE(Find({"Loaded SoundFonts", kDevice1, "126 - Small"}), nullptr);
}

TEST_F(FitTest, AfterARefusedLoadTheMeterStillSaysWhatTheSelectedFileNeeds)
{
    Write("big.sf2", "Big", 48 * kMegabyte);
    ASSERT_EQ(Sim().SetDeviceMemory(0, 32 * kMegabyte), 0);
    Open();
    const std::string tooLarge = "32.0 MB Free \xC2\xB7 needs 48.0 MB: too large";
    TreeView_SelectItem(Tree(), File("big.sf2"));
    ASSERT_EQ(MeterText(), tooLarge);
    // From the menu, and by Enter as a double-click does.
    RightClick(File("big.sf2"), "Load");
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    EXPECT_EQ(TreeView_GetSelection(Tree()), File("big.sf2"));
    EXPECT_EQ(MeterText(), tooLarge) << "after the menu's Load";
    OnUi([&] { SetFocus(Tree()); });
    SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(m_boxes.WaitForCount(2));
    EXPECT_EQ(MeterText(), tooLarge) << "after Enter";
}
