// The card operations against the simulated card's model: the bank a load goes to, the default
// device, whether a file fits, the loads, deletes and clears with their refusals, the preview
// bank, and the meter's figures. Each case leaves every device it opened closed.

#include "card/CardOperations.h"
#include "engine/BankNumbers.h"
#include "tests/card/SimTable.h"
#include "tests/engine/SoundFontFixture.h"

#include <cstdio>
#include <functional>
#include <set>
#include <vector>

namespace {

constexpr std::uint32_t kMegabyte = 1u << 20;

FixtureSoundFont Strings(std::uint32_t frames = 1000)
{
    FixtureSoundFont font;
    font.name = "Test Strings";
    font.presets = {{"Violin", 0, 40, frames}, {"Cello", 0, 42, frames}};
    return font;
}

class CardOperationsTest : public SimTableTest {
protected:
    void SetUp() override
    {
        SimTableTest::SetUp();
        WriteSoundFont(m_strings, Strings());
    }
    // Loads `path` into each bank of `device` through the wrapper, as another program would.
    void LoadBanks(int device, std::initializer_list<int> banks, const std::string& path)
    {
        CSfmDevice open = m_engine.Open(device);
        ASSERT_TRUE(open.IsOpen());
        for (int bank : banks)
            ASSERT_TRUE(open.LoadBank(bank, path).Ok()) << bank;
    }
    bool Loaded(int device, int bank)
    {
        CSfmDevice open = m_engine.Open(device);
        return open.IsBankLoaded(bank);
    }

    CCardOperations m_card{m_engine};
    std::string m_folder = FreshFolder("card-operations");
    std::string m_strings = m_folder + "Strings.sf2";
};

TEST_F(CardOperationsTest, FreeBankIsTheHighestEmptyOneLeavingOutThePreviewBank)
{
    struct Case {
        const char* name;
        std::set<int> loaded; // banks of device 0 that answer as loaded
        bool fullDevice;      // every bank from 1 to 127 but those in `empty` answers as loaded
        std::set<int> empty;
        PreviewBank preview;
        int device;
        int expected;
    } cases[] = {
        {"an empty device", {}, false, {}, {1, 127, 127}, 0, 127},
        {"the preview bank on the device is left out", {}, false, {}, {0, 127, 127}, 0, 126},
        {"the preview bank on another device is not", {}, false, {}, {1, 127, 127}, 0, 127},
        {"loaded banks at the top", {127, 126}, false, {}, {1, 127, 127}, 0, 125},
        {"a gap below a loaded bank", {127, 100}, false, {}, {1, 127, 127}, 0, 126},
        {"a full device gives the top bank", {}, true, {}, {1, 127, 127}, 0, 127},
        {"a full device but for the preview bank 127", {}, true, {127}, {0, 127, 127}, 0, 126},
        {"a full device but for a lower preview bank", {}, true, {5}, {0, 5, 127}, 0, 127},
        {"only bank 1 empty", {}, true, {1}, {1, 127, 127}, 0, 1},
        {"a device outside the card", {}, false, {}, {0, 127, 127}, 2, 0},
    };
    for (const Case& c : cases) {
        Sim().Reset();
        for (int bank = kFirstBank; bank <= kLastBank; ++bank) {
            bool loaded = c.loaded.count(bank) || (c.fullDevice && !c.empty.count(bank));
            if (loaded)
                Sim().AnswerBankAs(0, static_cast<std::uint32_t>(bank), static_cast<std::uint32_t>(bank));
        }
        EXPECT_EQ(m_card.FreeBank(c.device, c.preview), c.expected) << c.name;
    }
    Sim().FailSlot(SfmSlot::OpenDevice, 202);
    EXPECT_EQ(m_card.FreeBank(0, {}), 0) << "a device that won't open";
    Sim().FailSlot(SfmSlot::OpenDevice, 0);
}

TEST_F(CardOperationsTest, DefaultDeviceIsTheFirstEnabledOne)
{
    struct Case {
        const char* name;
        std::uint32_t devices;
        std::set<std::string> disabled;
        int unreadable; // a device whose capabilities can't be read, or -1
        int expected;
    } cases[] = {
        {"every device enabled", 3, {}, -1, 0},
        {"the first disabled", 3, {"Simulated Synth 1"}, -1, 1},
        {"the first two disabled", 3, {"Simulated Synth 1", "Simulated Synth 2"}, -1, 2},
        {"every device disabled", 2, {"Simulated Synth 1", "Simulated Synth 2"}, -1, 0},
        {"no device at all", 0, {}, -1, 0},
        // The names end at the first that can't be read: the enabled device after it is unseen.
        {"an unreadable device before the enabled one", 3, {"Simulated Synth 1"}, 1, 0},
    };
    for (const Case& c : cases) {
        Sim().Reset();
        ASSERT_EQ(Sim().SetDeviceCount(c.devices), 0) << c.name;
        if (c.unreadable >= 0)
            Sim().SetCapabilitiesUnreadable(static_cast<std::uint32_t>(c.unreadable), 1);
        auto enabled = [&](const std::string& name) { return c.disabled.count(name) == 0; };
        EXPECT_EQ(m_card.DefaultDevice(enabled), c.expected) << c.name;
    }
}

TEST_F(CardOperationsTest, FitWeighsTheSamplesAgainstFreeMemoryAndWhatTheBankGivesBack)
{
    const std::string big = m_folder + "Big.sf2";
    const std::string medium = m_folder + "Medium.sf2";
    const std::string small = m_folder + "Small.sf2";
    const std::string gone = m_folder + "Gone.sf2";
    const std::string notAFont = m_folder + "Not a font.sf2";
    constexpr std::uint32_t kMemory = 1500000;
    WriteSoundFont(big, Strings(300000));    // 1,200,000 bytes of samples
    WriteSoundFont(medium, Strings(200000)); // 800,000
    WriteSoundFont(small, Strings(100000));  // 400,000
    WriteBytes(notAFont, "RIFF\4\0\0\0WAVE");
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::pair<int, std::string>> loadedFirst; // bank of device 0, file
        bool deleteGone;
        int failingSlot;
        int bank;
        bool known;
        bool tooLarge;
        std::uint64_t available;
    } cases[] = {
        {"a file that fits the free memory", small, {}, false, -1, 5, true, false, kMemory},
        {"a file larger than the free memory", big, {{7, medium}}, false, -1, 5, true, true, 700000},
        {"loaded over a bank that gives back enough", big, {{5, medium}}, false, -1, 5, true, false, kMemory},
        {"loaded beside that bank instead", big, {{5, medium}}, false, -1, 6, true, true, 700000},
        {"over a bank whose file has gone", big, {{5, gone}}, true, -1, 5, false, false, 0},
        {"a file whose size can't be read", notAFont, {}, false, -1, 5, false, false, 0},
        {"a device that won't open", big, {}, false, SfmSlot::OpenDevice, 5, false, false, 0},
        {"a memory status that fails", big, {}, false, SfmSlot::MemoryStatus, 5, false, false, 0},
    };
    for (const Case& c : cases) {
        Sim().Reset();
        WriteSoundFont(gone, Strings(200000));
        ASSERT_EQ(Sim().SetDeviceMemory(0, kMemory), 0);
        for (const auto& loaded : c.loadedFirst)
            LoadBanks(0, {loaded.first}, loaded.second);
        if (c.deleteGone)
            std::remove(gone.c_str());
        if (c.failingSlot >= 0)
            Sim().FailSlot(c.failingSlot, 202);
        const std::uint32_t opens = Calls(SfmSlot::OpenDevice);
        LoadFit fit = m_card.CheckFit(0, c.bank, c.file);
        Sim().FailSlot(c.failingSlot >= 0 ? c.failingSlot : 0, 0);
        EXPECT_EQ(fit.known, c.known) << c.name;
        EXPECT_EQ(fit.CertainlyTooLarge(), c.tooLarge) << c.name;
        if (fit.known) {
            EXPECT_EQ(fit.availableBytes, c.available) << c.name;
        }
        if (c.file == notAFont) {
            EXPECT_EQ(Calls(SfmSlot::OpenDevice), opens) << c.name << ": the card is not asked";
        }
    }
}

TEST_F(CardOperationsTest, LoadDeleteAndClearAnswerTheCardsResults)
{
    using Operation = std::function<CardResult(CCardOperations&)>;
    const Operation load = [&](CCardOperations& card) { return card.Load(0, 9, m_strings); };
    const Operation remove = [&](CCardOperations& card) { return card.DeleteBank(0, 4); };
    const Operation clear = [&](CCardOperations& card) { return card.Clear(0); };
    struct Case {
        const char* name;
        Operation operation;
        int failingSlot;
        SfmResult code;
        SfmResult expected;
        bool openFailed;
        const char* text;
    } cases[] = {
        {"load", load, -1, 0, 0, false, ""},
        {"load, device busy", load, SfmSlot::OpenDevice, 202, 202, true, "Device Busy"},
        {"load, no room", load, SfmSlot::LoadBank, 205, 205, false, "Sound Memory Insufficient"},
        {"load, device count fails", load, SfmSlot::DeviceCount, 113, 113, true, "Device Invalid"},
        {"delete", remove, -1, 0, 0, false, ""},
        {"delete, device busy", remove, SfmSlot::OpenDevice, 202, 202, true, "Device Busy"},
        {"delete, clear refused", remove, SfmSlot::ClearBank, 111, 111, false, "Access Not Permitted"},
        {"delete, the bank never answers empty", remove, SfmSlot::QueryBank, 202, 901, false, "Undefined Error"},
        {"clear", clear, -1, 0, 0, false, ""},
        {"clear, device busy", clear, SfmSlot::OpenDevice, 202, 202, true, "Device Busy"},
        {"clear, clear refused", clear, SfmSlot::ClearBank, 202, 202, false, "Device Busy"},
        {"clear, the banks never answer empty", clear, SfmSlot::QueryBank, 202, 901, false, "Undefined Error"},
    };
    for (const Case& c : cases) {
        Sim().Reset();
        LoadBanks(0, {4, 7}, m_strings);
        if (c.failingSlot >= 0)
            Sim().FailSlot(c.failingSlot, c.code);
        CardResult result = c.operation(m_card);
        if (c.failingSlot >= 0)
            Sim().FailSlot(c.failingSlot, 0);
        EXPECT_EQ(result.result.Code(), c.expected) << c.name;
        EXPECT_STREQ(result.result.Text(), c.text) << c.name;
        EXPECT_EQ(result.openFailed, c.openFailed) << c.name;
        EXPECT_EQ(Sim().OpenCount(0), 0u) << c.name;
    }
}

TEST_F(CardOperationsTest, CommandsChangeTheBanksTheyName)
{
    LoadBanks(0, {4, 7}, m_strings);
    LoadBanks(1, {2}, m_strings);
    ASSERT_TRUE(m_card.Load(0, 9, m_strings).Ok());
    EXPECT_TRUE(Loaded(0, 9));
    ASSERT_TRUE(m_card.DeleteBank(0, 4).Ok());
    EXPECT_FALSE(Loaded(0, 4));
    EXPECT_TRUE(Loaded(0, 7));
    ASSERT_TRUE(m_card.Clear(0).Ok());
    for (int bank : {7, 9})
        EXPECT_FALSE(Loaded(0, bank)) << bank;
    EXPECT_TRUE(Loaded(0, 0)) << "the built-in bank stays";
    EXPECT_TRUE(Loaded(1, 2)) << "the other device is untouched";
    ASSERT_TRUE(m_card.DeleteBank(0, 4).Ok()) << "deleting an empty bank";

    CardResult outside = m_card.Load(2, 9, m_strings);
    EXPECT_TRUE(outside.openFailed);
    EXPECT_EQ(outside.result.Code(), EngineResult::kDeviceIndexOutOfRange);
    EXPECT_STREQ(outside.result.Text(), "Device Invalid");
    CardResult missing = m_card.Load(0, 9, m_folder + "missing.sf2");
    EXPECT_FALSE(missing.openFailed);
    EXPECT_STREQ(missing.result.Text(), "Pathname Invalid");
}

TEST_F(CardOperationsTest, PreviewSoundsGoToThePreviewBankAndLeaveIt)
{
    const std::string wave = m_folder + "Snare.wav";
    WriteBytes(wave, WaveBytes(5000));
    const PreviewBank preview = {1, 127, 126};
    const MeterFigures before = m_card.Meter(1);

    ASSERT_TRUE(m_card.LoadPreviewPreset(preview, 0, 42, m_strings).Ok());
    std::string name;
    {
        CSfmDevice device = m_engine.Open(1);
        ASSERT_TRUE(device.PresetName(127, 126, name).Ok());
    }
    EXPECT_EQ(name, "Cello");
    m_card.ClearPreviewInstrument(preview);
    EXPECT_EQ(m_card.Meter(1).freeBytes, before.freeBytes);

    ASSERT_TRUE(m_card.LoadPreviewWave(preview, wave).Ok());
    EXPECT_EQ(before.freeBytes - m_card.Meter(1).freeBytes, 5000u);
    m_card.ClearPreviewInstrument(preview);
    EXPECT_EQ(m_card.Meter(1).freeBytes, before.freeBytes);

    const std::pair<const char*, std::function<CardResult()>> loads[] = {
        {"preset", [&] { return m_card.LoadPreviewPreset(preview, 0, 41, m_strings); }},
        {"wave", [&] { return m_card.LoadPreviewWave(preview, m_strings); }},
    };
    for (const auto& load : loads) {
        CardResult refused = load.second();
        EXPECT_FALSE(refused.openFailed) << load.first;
        EXPECT_TRUE(refused.result.Failed()) << load.first;
        Sim().FailSlot(SfmSlot::OpenDevice, 202);
        CardResult unopened = load.second();
        Sim().FailSlot(SfmSlot::OpenDevice, 0);
        EXPECT_TRUE(unopened.openFailed) << load.first;
        EXPECT_STREQ(unopened.result.Text(), "Device Busy") << load.first;
    }
    Sim().FailSlot(SfmSlot::OpenDevice, 202);
    const std::uint32_t clears = Calls(SfmSlot::ClearPreset);
    m_card.ClearPreviewInstrument(preview);
    Sim().FailSlot(SfmSlot::OpenDevice, 0);
    EXPECT_EQ(Calls(SfmSlot::ClearPreset), clears) << "nothing is cleared on a device that won't open";
}

TEST_F(CardOperationsTest, MeterFiguresForADeviceAndForAFile)
{
    const std::string notAFont = m_folder + "Not a font.sf2";
    WriteBytes(notAFont, "RIFF\4\0\0\0WAVE");
    ASSERT_EQ(Sim().SetDeviceMemory(0, 4 * kMegabyte), 0);
    LoadBanks(0, {3}, m_strings);
    struct Case {
        const char* name;
        std::function<MeterFigures()> read;
        int failingSlot;
        std::uint32_t total;
        std::uint32_t free;
        bool needKnown;
        std::uint64_t needed;
    } cases[] = {
        {"a device", [&] { return m_card.Meter(0); }, -1, 4 * kMegabyte, 4 * kMegabyte - 4000, false, 0},
        {"a file", [&] { return m_card.MeterForFile(0, m_strings); }, -1, 4 * kMegabyte, 4 * kMegabyte - 4000,
         true, 4000},
        {"a file of unknown size", [&] { return m_card.MeterForFile(0, notAFont); }, -1, 4 * kMegabyte,
         4 * kMegabyte - 4000, false, 0},
        {"a device that won't open", [&] { return m_card.Meter(0); }, SfmSlot::OpenDevice, 0, 0, false, 0},
        {"a memory status that fails", [&] { return m_card.MeterForFile(0, m_strings); }, SfmSlot::MemoryStatus, 0,
         0, true, 4000},
        {"a device outside the card", [&] { return m_card.Meter(5); }, -1, 0, 0, false, 0},
    };
    for (const Case& c : cases) {
        if (c.failingSlot >= 0)
            Sim().FailSlot(c.failingSlot, 202);
        MeterFigures figures = c.read();
        if (c.failingSlot >= 0)
            Sim().FailSlot(c.failingSlot, 0);
        EXPECT_EQ(figures.totalBytes, c.total) << c.name;
        EXPECT_EQ(figures.freeBytes, c.free) << c.name;
        EXPECT_EQ(figures.needKnown, c.needKnown) << c.name;
        EXPECT_EQ(figures.neededBytes, c.needed) << c.name;
    }
}

} // namespace
