// The software card: the card model's answers under its memory budget, and the sound behind
// them, heard by rendering a device's synthesizer: what is loaded plays at its bank, what is
// cleared stops while the rest plays on, the preview bank takes a preset or a wave, and the
// banks come back with their sound after a restart.

#include "cardmodel/CardState.h"
#include "softcard/SoftCard.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/softcard/SoftCardSound.h"

#include <gtest/gtest.h>

namespace {

constexpr double kSounding = -60;
constexpr double kSilent = -90;
constexpr int kDrumChannel = 9;

FixtureSoundFont Audible(const std::string& name, std::vector<FixturePreset> presets)
{
    FixtureSoundFont font;
    font.name = name;
    font.presets = std::move(presets);
    font.audible = true;
    return font;
}

class SoftCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_card.Open(0), kSfmSuccess);
        WriteSoundFont(m_strings, Audible("Strings", {{"Violin", 0, 40, 500}, {"Kit", 128, 0, 500}}));
        WriteSoundFont(m_brass, Audible("Brass", {{"Trumpet", 0, 56, 1000}}));
    }

    CSynthesizer& Synth() { return m_card.Synthesizer(0); }
    // Lets a note's attack pass, or a removed sound fade, then listens.
    double Listen()
    {
        RenderLevelDb(Synth(), 0.1);
        return RenderLevelDb(Synth(), 0.1);
    }
    std::uint32_t FreeMemory()
    {
        std::uint32_t total = 0, available = 0;
        EXPECT_EQ(m_card.MemoryStatus(0, total, available), kSfmSuccess);
        return available;
    }

    CSoftCard m_card{DrySynthConfig()};
    std::string m_folder = FreshFolder("softcard");
    std::string m_strings = m_folder + "Strings.sf2";
    std::string m_brass = m_folder + "Brass.sf2";
};

TEST_F(SoftCardTest, StartsWithTwoSilentDevicesNamedAsTheSoftwareCard)
{
    ASSERT_EQ(m_card.DeviceCount(), 2);
    std::string name;
    ASSERT_EQ(m_card.DeviceName(1, name), kSfmSuccess);
    EXPECT_EQ(name, "Software Synth 2");
    EXPECT_EQ(FreeMemory(), CSoftCard::kDefaultMemory);
    SelectSound(Synth(), 0, 0, 0);
    NoteOn(Synth(), 0, 60);
    EXPECT_LT(Listen(), kSilent) << "the built-in bank holds no sound";
}

TEST_F(SoftCardTest, LoadsWithinTheBudgetAndRefusesBeyondIt)
{
    const std::uint64_t strings = 2 * 1000, brass = 2 * 1000;
    struct Case {
        const char* name;
        std::uint32_t budget;
        SfmResult stringsResult;
        SfmResult brassResult;
    };
    const Case cases[] = {
        {"both fit exactly", static_cast<std::uint32_t>(strings + brass), kSfmSuccess, kSfmSuccess},
        {"the second is one byte short", static_cast<std::uint32_t>(strings + brass - 1), kSfmSuccess,
         kSfmSoundMemoryInsufficient},
        {"neither fits", 100, kSfmSoundMemoryInsufficient, kSfmSoundMemoryInsufficient},
    };
    for (const Case& c : cases) {
        CSoftCard card(DrySynthConfig(), c.budget);
        ASSERT_EQ(card.Open(0), kSfmSuccess);
        EXPECT_EQ(card.LoadBank(0, 1, m_strings), c.stringsResult) << c.name;
        EXPECT_EQ(card.LoadBank(0, 2, m_brass), c.brassResult) << c.name;
        std::uint16_t bank = 2;
        ASSERT_EQ(card.QueryBank(0, bank), kSfmSuccess);
        EXPECT_EQ(bank, c.brassResult == kSfmSuccess ? 2 : 0xFFFF) << c.name;
        // A refused bank is not heard either.
        SelectSound(card.Synthesizer(0), 0, 2, 56);
        NoteOn(card.Synthesizer(0), 0, 60);
        RenderLevelDb(card.Synthesizer(0), 0.05);
        double level = RenderLevelDb(card.Synthesizer(0), 0.05);
        if (c.brassResult == kSfmSuccess)
            EXPECT_GT(level, kSounding) << c.name;
        else
            EXPECT_LT(level, kSilent) << c.name;
    }
}

TEST_F(SoftCardTest, ASmallerBudgetKeepsWhatIsLoadedAndRefusesMore)
{
    ASSERT_EQ(m_card.LoadBank(0, 1, m_strings), kSfmSuccess);
    m_card.SetSoundMemory(1000);
    std::uint32_t total = 0, available = 0;
    ASSERT_EQ(m_card.MemoryStatus(0, total, available), kSfmSuccess);
    EXPECT_EQ(total, 1000u);
    EXPECT_EQ(available, 0u);
    EXPECT_EQ(m_card.LoadBank(0, 2, m_brass), kSfmSoundMemoryInsufficient);
    ASSERT_EQ(m_card.ClearBank(0, 1), kSfmSuccess);
    EXPECT_EQ(m_card.LoadBank(0, 2, m_strings), kSfmSoundMemoryInsufficient);
}

TEST_F(SoftCardTest, ABankPlaysWhenABankSelectChoosesItsNumber)
{
    ASSERT_EQ(m_card.LoadBank(0, 5, m_strings), kSfmSuccess);
    struct Case {
        const char* name;
        int channel, bank, program;
        bool heard;
    };
    const Case cases[] = {
        {"the bank's preset", 0, 5, 40, true},
        {"another bank number", 0, 4, 40, false},
        {"a program the bank lacks", 0, 5, 41, false},
        {"its drum kit on the drum channel", kDrumChannel, 5, 0, true},
    };
    for (const Case& c : cases) {
        SelectSound(Synth(), c.channel, c.bank, c.program);
        NoteOn(Synth(), c.channel, 60);
        double level = Listen();
        if (c.heard)
            EXPECT_GT(level, kSounding) << c.name;
        else
            EXPECT_LT(level, kSilent) << c.name;
        NoteOff(Synth(), c.channel, 60);
        Synth().PostShortMessage(0xB0 | c.channel | 120 << 8); // all sound off
        RenderLevelDb(Synth(), 0.05);
    }
}

TEST_F(SoftCardTest, ClearingOrDeletingStopsTheRemovedSoundWhileTheOtherPlaysOn)
{
    struct Case {
        const char* name;
        bool loadOver;
    };
    for (const Case& c : {Case{"delete the bank", false}, Case{"load another file over the bank", true}}) {
        CSoftCard card(DrySynthConfig());
        ASSERT_EQ(card.Open(0), kSfmSuccess);
        CSynthesizer& synth = card.Synthesizer(0);
        ASSERT_EQ(card.LoadBank(0, 1, m_strings), kSfmSuccess);
        ASSERT_EQ(card.LoadBank(0, 2, m_brass), kSfmSuccess);
        SelectSound(synth, 0, 1, 40);
        SelectSound(synth, 1, 2, 56);
        NoteOn(synth, 0, 60);
        NoteOn(synth, 1, 67);
        RenderLevelDb(synth, 0.1);
        const double both = RenderLevelDb(synth, 0.1);
        ASSERT_EQ(synth.ActiveVoices(), 2) << c.name;

        if (c.loadOver)
            ASSERT_EQ(card.LoadBank(0, 1, m_brass), kSfmSuccess) << c.name;
        else
            ASSERT_EQ(card.ClearBank(0, 1), kSfmSuccess) << c.name;
        RenderLevelDb(synth, 0.1);
        const double one = RenderLevelDb(synth, 0.1);
        EXPECT_EQ(synth.ActiveVoices(), 1) << c.name << ": only the other bank's note sounds";
        EXPECT_GT(one, kSounding) << c.name;
        EXPECT_LT(one, both - 1.5) << c.name << ": two equal notes are 3 dB above one";

        ASSERT_EQ(card.ClearBank(0, 2), kSfmSuccess) << c.name;
        RenderLevelDb(synth, 0.1);
        EXPECT_LT(RenderLevelDb(synth, 0.1), kSilent) << c.name;
    }
}

TEST_F(SoftCardTest, ThePreviewBankTakesOnePresetOfAFileOrAWave)
{
    const std::string wave = m_folder + "Sine.wav";
    WriteBytes(wave, SineWaveBytes(22050));
    struct Case {
        const char* name;
        bool wave;
        const std::string& path;
        SfmLocation source;
        const char* presetName;
        std::uint32_t memory;
    };
    const Case cases[] = {
        {"a melodic preset", false, m_strings, {0, 40}, "Violin", 1000},
        {"a drum kit", false, m_strings, {128, 0}, "Kit", 1000},
        {"a wave file", true, wave, {0, 0}, "Sine", 44100},
    };
    const SfmLocation preview{127, 127};
    for (const Case& c : cases) {
        SfmResult result = c.wave ? m_card.LoadWave(0, preview, c.path)
                                  : m_card.LoadPreset(0, c.source, preview, c.path);
        ASSERT_EQ(result, kSfmSuccess) << c.name;
        std::string name;
        ASSERT_EQ(m_card.PresetName(0, preview, name), kSfmSuccess) << c.name;
        EXPECT_EQ(name, c.presetName) << c.name;
        EXPECT_EQ(FreeMemory(), CSoftCard::kDefaultMemory - c.memory) << c.name;

        SelectSound(Synth(), 15, 127, 127);
        NoteOn(Synth(), 15, 60);
        EXPECT_GT(Listen(), kSounding) << c.name;
        ASSERT_EQ(m_card.ClearPreset(0, preview), kSfmSuccess) << c.name;
        EXPECT_LT(Listen(), kSilent) << c.name << ": the cleared preview stops";
        NoteOff(Synth(), 15, 60);
        EXPECT_EQ(FreeMemory(), CSoftCard::kDefaultMemory) << c.name;
    }
}

TEST_F(SoftCardTest, APresetTheFileLacksIsRefusedAndNothingIsPlaced)
{
    EXPECT_EQ(m_card.LoadPreset(0, {0, 3}, {127, 127}, m_strings), kSfmPresetIndexInvalid);
    std::string name;
    EXPECT_EQ(m_card.PresetName(0, {127, 127}, name), kSfmBankIndexInvalid);
    EXPECT_EQ(FreeMemory(), CSoftCard::kDefaultMemory);
}

TEST_F(SoftCardTest, TheBanksComeBackWithTheirSoundAfterARestart)
{
    ASSERT_EQ(m_card.LoadBank(0, 3, m_strings), kSfmSuccess);
    ASSERT_EQ(m_card.Open(1), kSfmSuccess);
    ASSERT_EQ(m_card.LoadBank(1, 7, m_brass), kSfmSuccess);
    const std::string gone = m_folder + "Gone.sf2";
    WriteSoundFont(gone, Audible("Gone", {{"Flute", 0, 73, 100}}));
    ASSERT_EQ(m_card.LoadBank(1, 9, gone), kSfmSuccess);
    ASSERT_EQ(m_card.LoadWave(1, {127, 127}, m_folder + "nothing.wav"), kSfmPathnameInvalid);
    const std::string state = WriteCardState(m_card.Contents());
    std::remove(gone.c_str());

    CardContents remembered;
    ASSERT_TRUE(ReadCardState(state, remembered));
    CSoftCard next(DrySynthConfig());
    next.Restore(remembered);
    ASSERT_EQ(next.Open(1), kSfmSuccess);
    std::string name;
    ASSERT_EQ(next.BankName(1, 7, name), kSfmSuccess) << "answers before the sound is loaded";
    EXPECT_EQ(name, "Brass");
    next.WaitUntilRestored();

    SelectSound(next.Synthesizer(1), 0, 7, 56);
    NoteOn(next.Synthesizer(1), 0, 60);
    RenderLevelDb(next.Synthesizer(1), 0.1);
    EXPECT_GT(RenderLevelDb(next.Synthesizer(1), 0.1), kSounding);
    SelectSound(next.Synthesizer(0), 0, 3, 40);
    NoteOn(next.Synthesizer(0), 0, 60);
    RenderLevelDb(next.Synthesizer(0), 0.1);
    EXPECT_GT(RenderLevelDb(next.Synthesizer(0), 0.1), kSounding);
    std::uint16_t bank = 9;
    ASSERT_EQ(next.QueryBank(1, bank), kSfmSuccess);
    EXPECT_EQ(bank, 9) << "listed until the card is told";
    EXPECT_TRUE(next.DropUnrestoredBanks());
    ASSERT_EQ(next.QueryBank(1, bank), kSfmSuccess);
    EXPECT_EQ(bank, 0xFFFF) << "a bank whose file is gone is emptied";
    EXPECT_FALSE(next.DropUnrestoredBanks());
}

TEST_F(SoftCardTest, ABankChangedWhileItsSoundIsRestoredKeepsTheNewSound)
{
    ASSERT_EQ(m_card.LoadBank(0, 3, m_strings), kSfmSuccess);
    CardContents remembered = m_card.Contents();
    CSoftCard next(DrySynthConfig());
    next.Restore(remembered);
    ASSERT_EQ(next.Open(0), kSfmSuccess);
    ASSERT_EQ(next.ClearBank(0, 3), kSfmSuccess);
    next.WaitUntilRestored();
    SelectSound(next.Synthesizer(0), 0, 3, 40);
    NoteOn(next.Synthesizer(0), 0, 60);
    RenderLevelDb(next.Synthesizer(0), 0.1);
    EXPECT_LT(RenderLevelDb(next.Synthesizer(0), 0.1), kSilent);
}

} // namespace
