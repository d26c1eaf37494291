// The simulated card's model: what its banks hold, what that costs in sound memory, the rules
// of the built-in bank and open devices, and the state it keeps between runs.

#include "cardmodel/CardState.h"
#include "sim/SimCard.h"
#include "tests/engine/SoundFontFixture.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint16_t kEmpty = 0xFFFF;

FixtureSoundFont Strings()
{
    FixtureSoundFont font;
    font.name = "Test Strings";
    font.presets = {{"Violin", 0, 40, 100}, {"Cello", 0, 42, 300}, {"Kit", 128, 0, 50}};
    return font;
}

class SimCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_card.Open(0), kSfmSuccess);
        WriteSoundFont(m_strings, Strings());
        FixtureSoundFont unnamed = Strings();
        unnamed.name.reset();
        WriteSoundFont(m_unnamed, unnamed);
        WriteBytes(m_wave, WaveBytes(1000));
    }

    std::uint16_t Query(std::uint16_t bank)
    {
        EXPECT_EQ(m_card.QueryBank(0, bank), kSfmSuccess);
        return bank;
    }
    std::uint32_t FreeMemory()
    {
        std::uint32_t total = 0, available = 0;
        EXPECT_EQ(m_card.MemoryStatus(0, total, available), kSfmSuccess);
        return available;
    }
    std::string PresetName(std::uint16_t bank, std::uint16_t preset,
                           SfmResult expected = kSfmSuccess)
    {
        std::string name;
        EXPECT_EQ(m_card.PresetName(0, {bank, preset}, name), expected) << bank << ":" << preset;
        return name;
    }

    CSimCard m_card;
    std::string m_folder = FreshFolder("card");
    std::string m_strings = m_folder + "Strings.sf2";
    std::string m_unnamed = m_folder + "Unnamed Strings.sf2";
    std::string m_wave = m_folder + "Kick.wav";
};

TEST_F(SimCardTest, StartsWithTwoEmptyDevicesAndTheBuiltInBank)
{
    EXPECT_EQ(m_card.DeviceCount(), 2);
    std::string name;
    ASSERT_EQ(m_card.DeviceName(1, name), kSfmSuccess);
    EXPECT_EQ(name, "Simulated Synth 2");
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory);

    EXPECT_EQ(Query(0), 0);
    for (std::uint16_t bank = 1; bank <= 127; ++bank)
        EXPECT_EQ(Query(bank), kEmpty) << bank;
    ASSERT_EQ(m_card.BankName(0, 0, name), kSfmSuccess);
    EXPECT_EQ(name, "General MIDI");
    name = "stale";
    ASSERT_EQ(m_card.BankFileName(0, 0, name), kSfmSuccess);
    EXPECT_EQ(name, "");
    EXPECT_EQ(PresetName(0, 0), "Acoustic Grand Piano");
    EXPECT_EQ(PresetName(0, 127), "Gunshot");
}

TEST_F(SimCardTest, TheBuiltInBankCanNeitherBeClearedNorLoadedOver)
{
    EXPECT_EQ(m_card.ClearBank(0, 0), kSfmAccessNotPermitted);
    EXPECT_EQ(m_card.LoadBank(0, 0, m_strings), kSfmAccessNotPermitted);
    EXPECT_EQ(m_card.LoadWave(0, {0, 5}, m_wave), kSfmAccessNotPermitted);
    EXPECT_EQ(Query(0), 0);
    EXPECT_EQ(PresetName(0, 5), "Electric Piano 2");
}

TEST_F(SimCardTest, BankOperationsNeedTheDeviceOpen)
{
    std::uint16_t bank = 0;
    std::string text;
    std::uint32_t total = 0, available = 0;
    EXPECT_EQ(m_card.QueryBank(1, bank), kSfmAccessNotPermitted);
    EXPECT_EQ(bank, kEmpty);
    EXPECT_EQ(m_card.MemoryStatus(1, total, available), kSfmAccessNotPermitted);
    EXPECT_EQ(m_card.LoadBank(1, 3, m_strings), kSfmAccessNotPermitted);
    EXPECT_EQ(m_card.BankName(1, 0, text), kSfmAccessNotPermitted);
    EXPECT_EQ(m_card.ClearBank(1, 3), kSfmAccessNotPermitted);
    EXPECT_EQ(m_card.Close(1), kSfmAccessNotPermitted);
    EXPECT_EQ(m_card.Open(2), kSfmDeviceInvalid);
    EXPECT_EQ(m_card.QueryBank(2, bank), kSfmDeviceInvalid);

    ASSERT_EQ(m_card.Open(1), kSfmSuccess);
    EXPECT_EQ(m_card.LoadBank(1, 3, m_strings), kSfmSuccess);
    EXPECT_EQ(m_card.Close(1), kSfmSuccess);
    EXPECT_EQ(m_card.OpenCount(1), 0u);
}

TEST_F(SimCardTest, ALoadedBankIsNamedFromItsFileAndChargedItsSamples)
{
    ASSERT_EQ(m_card.LoadBank(0, 5, m_strings), kSfmSuccess);
    ASSERT_EQ(m_card.LoadBank(0, 6, m_unnamed), kSfmSuccess);
    EXPECT_EQ(Query(5), 5);
    EXPECT_EQ(Query(6), 6);
    std::string text;
    ASSERT_EQ(m_card.BankName(0, 5, text), kSfmSuccess);
    EXPECT_EQ(text, "Test Strings");
    ASSERT_EQ(m_card.BankName(0, 6, text), kSfmSuccess);
    EXPECT_EQ(text, "User Bank");
    ASSERT_EQ(m_card.BankFileName(0, 6, text), kSfmSuccess);
    EXPECT_EQ(text, m_unnamed);
    EXPECT_EQ(PresetName(5, 42), "Cello");
    PresetName(5, 41, kSfmPresetIndexInvalid);
    PresetName(7, 42, kSfmBankIndexInvalid);
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory - 2 * SampleBytes(Strings()));

    EXPECT_EQ(m_card.ClearBank(0, 5), kSfmSuccess);
    EXPECT_EQ(Query(5), kEmpty);
    EXPECT_EQ(m_card.ClearBank(0, 5), kSfmSuccess) << "clearing an empty bank";
    EXPECT_EQ(m_card.BankName(0, 5, text), kSfmBankIndexInvalid);
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory - SampleBytes(Strings()));
}

TEST_F(SimCardTest, ABankThatDoesNotFitIsRefusedAndWhatWasThereStays)
{
    const std::uint32_t size = static_cast<std::uint32_t>(SampleBytes(Strings()));
    ASSERT_TRUE(m_card.SetDeviceMemory(0, size + size / 2));
    ASSERT_EQ(m_card.LoadBank(0, 3, m_strings), kSfmSuccess);
    EXPECT_EQ(m_card.LoadBank(0, 4, m_unnamed), kSfmSoundMemoryInsufficient);
    EXPECT_EQ(Query(4), kEmpty);
    // Loading over a bank gives its memory back first.
    EXPECT_EQ(m_card.LoadBank(0, 3, m_unnamed), kSfmSuccess);
    std::string name;
    ASSERT_EQ(m_card.BankName(0, 3, name), kSfmSuccess);
    EXPECT_EQ(name, "User Bank");

    ASSERT_TRUE(m_card.SetDeviceMemory(0, size - 2));
    EXPECT_EQ(m_card.LoadBank(0, 3, m_strings), kSfmSoundMemoryInsufficient);
    ASSERT_EQ(m_card.BankFileName(0, 3, name), kSfmSuccess);
    EXPECT_EQ(name, m_unnamed) << "the bank loaded before stays";
    EXPECT_EQ(FreeMemory(), 0u);
}

TEST_F(SimCardTest, PreviewInstrumentsArePlacedChargedAndCleared)
{
    ASSERT_EQ(m_card.LoadPreset(0, {0, 42}, {127, 127}, m_strings), kSfmSuccess);
    EXPECT_EQ(PresetName(127, 127), "Cello");
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory - 600);
    EXPECT_EQ(Query(127), kEmpty) << "a single instrument is no loaded SoundFont";
    // Placing another over it replaces it.
    ASSERT_EQ(m_card.LoadPreset(0, {128, 0}, {127, 127}, m_strings), kSfmSuccess);
    EXPECT_EQ(PresetName(127, 127), "Kit");
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory - 100);
    ASSERT_EQ(m_card.LoadWave(0, {127, 126}, m_wave), kSfmSuccess);
    EXPECT_EQ(PresetName(127, 126), "Kick");
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory - 1100);

    EXPECT_EQ(m_card.ClearPreset(0, {127, 127}), kSfmSuccess);
    PresetName(127, 127, kSfmBankIndexInvalid);
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory - 1000);
    EXPECT_EQ(m_card.ClearBank(0, 127), kSfmSuccess);
    EXPECT_EQ(FreeMemory(), CSimCard::kDefaultMemory)
        << "clearing the bank removes its instruments";

    EXPECT_EQ(m_card.LoadPreset(0, {0, 41}, {127, 127}, m_strings), kSfmPresetIndexInvalid);
    EXPECT_EQ(m_card.LoadPreset(0, {0, 40}, {127, 128}, m_strings), kSfmPresetIndexInvalid);
    EXPECT_EQ(m_card.LoadPreset(0, {0, 40}, {127, 127}, m_wave), kSfmFormatInvalid);
    EXPECT_EQ(m_card.LoadWave(0, {127, 127}, m_strings), kSfmFormatInvalid);
    EXPECT_EQ(m_card.LoadWave(0, {127, 127}, m_folder + "gone.wav"), kSfmPathnameInvalid);
    ASSERT_TRUE(m_card.SetDeviceMemory(0, 999));
    EXPECT_EQ(m_card.LoadWave(0, {127, 127}, m_wave), kSfmSoundMemoryInsufficient);
}

TEST_F(SimCardTest, SwitchesKeepABankLoadedAndChangeItsAnswer)
{
    ASSERT_EQ(m_card.LoadBank(0, 9, m_strings), kSfmSuccess);
    ASSERT_TRUE(m_card.KeepBankLoaded(0, 9, 1));
    EXPECT_EQ(m_card.ClearBank(0, 9), kSfmSuccess);
    EXPECT_EQ(Query(9), 9);
    EXPECT_EQ(m_card.ClearBank(0, 9), kSfmSuccess);
    EXPECT_EQ(Query(9), kEmpty);

    ASSERT_TRUE(m_card.AnswerBankAs(0, 9, 12));
    EXPECT_EQ(Query(9), 12);
    ASSERT_TRUE(m_card.SetCapabilitiesUnreadable(1, true));
    std::string name;
    EXPECT_EQ(m_card.DeviceName(1, name), kSfmDeviceInvalid);
    EXPECT_FALSE(m_card.SetDeviceCount(CSimCard::kMaxDevices + 1));
    ASSERT_TRUE(m_card.SetDeviceCount(3));
    ASSERT_EQ(m_card.DeviceName(2, name), kSfmSuccess);
    EXPECT_EQ(name, "Simulated Synth 3");
}

CardContents VariedContents(const std::string& soundFont)
{
    CSimCard card;
    card.SetDeviceCount(3);
    card.SetDeviceName(0, "Name with spaces, 100% odd\tbytes\n\xE9");
    card.SetDeviceName(2, "");
    card.SetDeviceMemory(1, 4096u << 10);
    card.Open(0);
    card.Open(1);
    card.LoadBank(0, 1, soundFont);
    card.LoadBank(0, 127, soundFont);
    card.LoadBank(1, 64, soundFont);
    card.LoadPreset(1, {0, 40}, {64, 3}, soundFont);
    return card.Contents();
}

TEST_F(SimCardTest, StateSurvivesItsFile)
{
    const CardContents original = VariedContents(m_strings);
    const std::string path = m_folder + "card.sfcard";
    ASSERT_TRUE(SaveCardState(path, original));
    CardContents restored;
    ASSERT_TRUE(LoadCardState(path, restored));
    EXPECT_EQ(WriteCardState(restored), WriteCardState(original));
    ASSERT_EQ(restored.devices.size(), 3u);
    EXPECT_EQ(restored.devices[0].name, original.devices[0].name);
    EXPECT_EQ(restored.devices[1].banks[64]->presetNames.at(42), "Cello");
    EXPECT_EQ(restored.devices[1].instruments.at(64u << 16 | 3).memoryBytes, 200u);
    EXPECT_FALSE(LoadCardState(m_folder + "none.sfcard", restored));
}

TEST_F(SimCardTest, AMalformedStateIsRefusedWhole)
{
    const std::string header = "sfman-card 1\n";
    const std::string device = "device 1024 :Synth\n";
    const char* const cases[] = {
        "",
        "sfman-card 2\n",
        "bank 1 0 :A :B\n",
        "device 1024\n",
        "device 1024 Synth\n",
        "device 4294967296 :Synth\n",
        "device 1024 :Synth extra\n",
        "device -1 :Synth\n",
        "device 1024 :Bad%G1escape\n",
        "device 1024 :Cut%4\n",
        "unknown 1\n",
        "device 1024 :Synth\nbank 0 0 :A :B\n",
        "device 1024 :Synth\nbank 128 0 :A :B\n",
        "device 1024 :Synth\npreset 1 :No bank before\n",
        "device 1024 :Synth\nbank 1 0 :A :B\npreset 128 :P\n",
        "device 1024 :Synth\ninstrument 0 1 0 :I\n",
        "device 1024 :Synth\ninstrument 1 1 99999999999999999999 :I\n",
    };
    for (const char* text : cases) {
        CardContents contents = CSimCard::DefaultContents();
        const std::string body = text;
        const std::string whole =
            body.rfind("sfman-card", 0) == 0 || body.empty() ? body : header + body;
        EXPECT_FALSE(ReadCardState(whole, contents)) << whole;
        EXPECT_EQ(contents.devices.size(), 2u) << whole;
    }
    std::string tooMany = header;
    for (std::size_t count = 0; count <= CSimCard::kMaxDevices; ++count)
        tooMany += device;
    CardContents contents;
    EXPECT_FALSE(ReadCardState(tooMany, contents));
}

} // namespace
