// Program changes from the MIDI keyboard while previewing, in the real main window with a
// virtual MIDI system: they step the selection through the selected SoundFont's presets as a
// click would, and are not passed on.

#include "tests/app/PreviewWindowFixture.h"

#include "engine/SfmInterface.h"
#include "midi/MidiMessage.h"

namespace {

const char* const kDevice1 = kPreviewDevice1;

DWORD ProgramChange(std::uint8_t channel, std::uint8_t program)
{
    return PackShortMessage(static_cast<std::uint8_t>(0xC0 | channel), program, 0);
}

class ProgramChangeTest : public PreviewWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SetUpPreviewWindow("program-", {{"Grand", 0, 0, 16}, {"Organ", 0, 16, 16}, {"Strings", 0, 48, 16},
                                        {"Brass", 0, 61, 16}, {"Kit", 128, 0, 16}, {"Brush", 128, 40, 16}});
        LoadBank(0, 4, m_folder + "small.sf2");
    }

    HTREEITEM Item(const std::vector<std::string>& path)
    {
        HTREEITEM item = Find(path);
        EXPECT_NE(item, nullptr) << ::testing::PrintToString(path) << ::testing::PrintToString(Lines());
        return item;
    }
    // Plays the words on the keyboard and waits until the window has dealt with them.
    void Play(const std::vector<DWORD>& words)
    {
        for (DWORD word : words)
            m_midi.Receive(0, word);
        ASSERT_TRUE(m_midi.WaitUntilDelivered());
        // The input callback posts the program change to the window.
        ASSERT_TRUE(Runner().AfterPostedMessages());
    }
    std::string Selected() const { return ItemText(TreeView_GetSelection(Tree())); }
};

std::vector<std::string> Loaded(const char* preset)
{
    return {"Loaded SoundFonts", kDevice1, "004 - Small", preset};
}

} // namespace

TEST_F(ProgramChangeTest, SelectsTheProgramInTheSameBankOrTheNearestAboveWrapping)
{
    const struct {
        const char* name;
        std::vector<std::string> from;
        std::uint8_t program;
        const char* selected;
    } cases[] = {
        {"present", Loaded("000 Grand"), 61, "061 Brass"},
        {"absent: the nearest above", Loaded("000 Grand"), 30, "048 Strings"},
        {"above the last: wraps to the lowest", Loaded("061 Brass"), 100, "000 Grand"},
        {"the program already selected", Loaded("016 Organ"), 16, "016 Organ"},
        {"a drum kit steps among drum kits", Loaded("000 Kit"), 5, "040 Brush"},
        {"a drum kit wraps among drum kits", Loaded("040 Brush"), 41, "000 Kit"},
    };
    Open();
    ClickPreview();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TreeView_SelectItem(Tree(), Item(c.from));
        m_midi.ClearRecords();
        Play({ProgramChange(0, c.program)});
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(RecordOf(TreeView_GetSelection(Tree()))->kind, TreeItemKind::BankPreset);
    }
    // As a click: the preset is chosen on the mapped output and channel.
    TreeView_SelectItem(Tree(), Item(Loaded("000 Grand")));
    m_midi.ClearRecords();
    Play({ProgramChange(9, 48)});
    std::vector<DWORD> sent;
    for (const SentMessage& message : m_midi.Sent())
        sent.push_back(message.word);
    EXPECT_EQ(sent, (std::vector<DWORD>{PackShortMessage(0xB3, 0, 4), PackShortMessage(0xC3, 48, 0)}));
}

TEST_F(ProgramChangeTest, ADiskPresetLoadsTheNextIntoThePreviewBankAsAClickWould)
{
    Open();
    ClickPreview();
    TreeView_SelectItem(Tree(), Item({"Sound Files on disk", m_listed, "small.sf2", "000-000 Grand"}));
    const std::uint32_t loads = Sim().CallCount(static_cast<int>(SfmSlot::LoadPreset));
    Play({ProgramChange(0, 20)});
    EXPECT_EQ(Selected(), "000-048 Strings");
    EXPECT_EQ(Sim().CallCount(static_cast<int>(SfmSlot::LoadPreset)), loads + 1);
    Play({ProgramChange(0, 127)});
    EXPECT_EQ(Selected(), "000-000 Grand");
    Play({ProgramChange(0, 1)});
    EXPECT_EQ(Selected(), "000-016 Organ") << "kits are another bank";
}

TEST_F(ProgramChangeTest, NothingHappensWithoutAPresetSelectedOrWhileNotPreviewing)
{
    Open();
    ClickPreview();
    const std::vector<std::vector<std::string>> selections = {
        {"Loaded SoundFonts", kDevice1},
        {"Loaded SoundFonts", kDevice1, "004 - Small"},
        {"Sound Files on disk", m_listed},
        {"Sound Files on disk", m_listed, "small.sf2"},
    };
    for (const std::vector<std::string>& path : selections) {
        SCOPED_TRACE(path.back());
        HTREEITEM item = Item(path);
        TreeView_SelectItem(Tree(), item);
        m_midi.ClearRecords();
        Play({ProgramChange(0, 61)});
        EXPECT_EQ(TreeView_GetSelection(Tree()), item);
        EXPECT_TRUE(m_midi.Sent().empty()) << "the program change is not passed on";
    }

    // One arriving as previewing stops finds it stopped: the stop delivers it as the input
    // closes. Nor is it kept for the next start.
    TreeView_SelectItem(Tree(), Item(Loaded("000 Grand")));
    m_midi.PauseDelivery();
    m_midi.Receive(0, ProgramChange(0, 61));
    ClickPreview();
    m_midi.ResumeDelivery();
    Play({});
    EXPECT_EQ(Selected(), "000 Grand");
    ClickPreview();
    Play({});
    EXPECT_EQ(Selected(), "000 Grand");
}

TEST_F(ProgramChangeTest, ABurstOfAThousandEndsOnTheLastProgramAndLeavesTheWindowResponsive)
{
    Open();
    ClickPreview();
    TreeView_SelectItem(Tree(), Item({"Sound Files on disk", m_listed, "small.sf2", "000-000 Grand"}));
    std::vector<DWORD> burst;
    for (int i = 0; i < 999; ++i)
        burst.push_back(ProgramChange(0, static_cast<std::uint8_t>(i % 128)));
    burst.push_back(ProgramChange(0, 61));
    Play(burst);
    EXPECT_EQ(Selected(), "000-061 Brass");
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);
    // Notes still pass once the burst is over.
    m_midi.ClearRecords();
    Play({PackShortMessage(0x90, 60, 100)});
    std::vector<DWORD> sent;
    for (const SentMessage& message : m_midi.Sent())
        sent.push_back(message.word);
    EXPECT_EQ(sent, (std::vector<DWORD>{PackShortMessage(0x95, 60, 100)}));
}
