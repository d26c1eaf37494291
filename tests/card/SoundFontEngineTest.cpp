// The engine wrapper with libraries side by side: the simulated card's table and a small
// software library of one device, as a real card's and a software card's would sit together.

#include "engine/SoundFontEngine.h"
#include "tests/card/SimTable.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// A library with one device, "Software Synth", 8 MB of which 3 are free; it counts the opens
// and closes of its device 0 and refuses every other device number.
struct SoftwareLibrary {
    static inline int opens = 0;
    static inline int closes = 0;
    static inline SfmResult countResult = kSfmSuccess;

    static SfmResult SFM_CALL DeviceCount(std::uint16_t* count)
    {
        *count = 1;
        return countResult;
    }
    static SfmResult SFM_CALL Capabilities(std::uint32_t device, SfmCapabilities* capabilities)
    {
        if (device != 0)
            return kSfmDeviceInvalid;
        std::memset(capabilities, 0, sizeof *capabilities);
        SfmSetCapabilitiesName(*capabilities, "Software Synth");
        return kSfmSuccess;
    }
    static SfmResult SFM_CALL Unused() { return kSfmSupportInvalid; }
    static SfmResult SFM_CALL Open(std::uint16_t device)
    {
        opens += device == 0;
        return device == 0 ? kSfmSuccess : kSfmDeviceInvalid;
    }
    static SfmResult SFM_CALL Close(std::uint16_t device)
    {
        closes += device == 0;
        return device == 0 ? kSfmSuccess : kSfmDeviceInvalid;
    }
    static SfmResult SFM_CALL Memory(std::uint16_t device, std::uint32_t* total, std::uint32_t* available)
    {
        if (device != 0)
            return kSfmDeviceInvalid;
        *total = 8u << 20;
        *available = 3u << 20;
        return kSfmSuccess;
    }
    static SfmResult SFM_CALL Query(std::uint16_t, std::uint16_t* bank)
    {
        *bank = 0xFFFF;
        return kSfmSuccess;
    }
    static SfmResult SFM_CALL Refuse(std::uint16_t, SfmLocation*, SfmBuffer*) { return kSfmSupportInvalid; }
    static SfmResult SFM_CALL RefuseClear(std::uint16_t, SfmLocation*) { return kSfmSupportInvalid; }
    static SfmResult SFM_CALL RefusePreset(std::uint16_t, SfmLocation*, SfmLocation*, SfmBuffer*)
    {
        return kSfmSupportInvalid;
    }

    static const SfmOperationTable& Table()
    {
        static const SfmOperationTable table = {
            DeviceCount, Capabilities, Unused, Unused, Open, Close, Query, Memory, Unused, Unused,
            Unused, Refuse, Refuse, Refuse, RefuseClear, RefusePreset, Refuse, RefuseClear, Refuse,
        };
        return table;
    }
};

class SoundFontEngineTest : public SimTableTest {
protected:
    void SetUp() override
    {
        SimTableTest::SetUp();
        SoftwareLibrary::opens = SoftwareLibrary::closes = 0;
        SoftwareLibrary::countResult = kSfmSuccess;
        m_engine.AddLibrary(SoftwareLibrary::Table());
    }
};

TEST_F(SoundFontEngineTest, DevicesOfEachLibraryFollowThoseOfTheOnesBefore)
{
    std::vector<std::string> names;
    ASSERT_TRUE(m_engine.GetDeviceNames(names).Ok());
    EXPECT_EQ(names, (std::vector<std::string>{"Simulated Synth 1", "Simulated Synth 2", "Software Synth"}));
    int index = -1;
    ASSERT_TRUE(m_engine.FindDevice("Software Synth", index));
    EXPECT_EQ(index, 2);

    struct Case {
        int device;
        std::uint32_t total;
        int softwareOpens;
    } cases[] = {{0, 32u << 20, 0}, {1, 32u << 20, 0}, {2, 8u << 20, 1}};
    for (const Case& c : cases) {
        SoftwareLibrary::opens = SoftwareLibrary::closes = 0;
        {
            CSfmDevice device = m_engine.Open(c.device);
            ASSERT_TRUE(device.IsOpen()) << c.device;
            std::uint32_t total = 0, available = 0;
            ASSERT_TRUE(device.MemoryStatus(total, available).Ok()) << c.device;
            EXPECT_EQ(total, c.total) << c.device;
            EXPECT_EQ(m_engine.OpenDeviceCount(), 1) << c.device;
        }
        EXPECT_EQ(SoftwareLibrary::opens, c.softwareOpens) << c.device;
        EXPECT_EQ(SoftwareLibrary::closes, c.softwareOpens) << c.device;
        EXPECT_EQ(m_engine.OpenDeviceCount(), 0) << c.device;
    }
}

TEST_F(SoundFontEngineTest, DevicesOfTwoLibrariesAreOpenTogether)
{
    CSfmDevice card = m_engine.Open(1);
    CSfmDevice software = m_engine.Open(2);
    ASSERT_TRUE(card.IsOpen());
    ASSERT_TRUE(software.IsOpen());
    EXPECT_EQ(Sim().OpenCount(1), 1u);
    EXPECT_EQ(m_engine.OpenDeviceCount(), 2);
    EXPECT_TRUE(card.Close().Ok());
    EXPECT_EQ(Sim().OpenCount(1), 0u);
    EXPECT_TRUE(card.Close().Ok()) << "a second close does nothing";
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 1u);
    EXPECT_FALSE(card.IsOpen());
    std::uint32_t total = 7, available = 7;
    EXPECT_EQ(card.MemoryStatus(total, available).Code(), EngineResult::kDeviceIndexOutOfRange)
        << "a closed device answers nothing";
    EXPECT_EQ(total, 0u);

    CSfmDevice moved = std::move(software);
    EXPECT_FALSE(software.IsOpen());
    EXPECT_TRUE(moved.IsOpen());
    EXPECT_EQ(SoftwareLibrary::closes, 0) << "moving hands the close on";
}

TEST_F(SoundFontEngineTest, ALibraryWhoseCountFailsListsNoDevicesAndTheOthersStay)
{
    Sim().FailSlot(SfmSlot::DeviceCount, 202);
    int count = -1;
    EngineResult counted = m_engine.CountDevices(count);
    EXPECT_EQ(count, 1);
    EXPECT_STREQ(counted.Text(), "Device Busy");
    std::string name;
    ASSERT_TRUE(m_engine.GetDeviceName(0, name).Ok());
    EXPECT_EQ(name, "Software Synth");
    CSfmDevice beyond = m_engine.Open(1);
    EXPECT_EQ(beyond.OpenResult().Code(), 202) << "the count's failure says why there is no device 1";
    Sim().FailSlot(SfmSlot::DeviceCount, 0);
}

TEST_F(SoundFontEngineTest, DeviceNumbersOutsideEveryLibraryNeverReachAnEngine)
{
    for (int index : {-1, 3, 65536 + 1, -65536}) {
        CSfmDevice device = m_engine.Open(index);
        EXPECT_FALSE(device.IsOpen()) << index;
        EXPECT_EQ(device.OpenResult().Code(), EngineResult::kDeviceIndexOutOfRange) << index;
        EXPECT_STREQ(device.OpenResult().Text(), "Device Invalid") << index;
        int answer = 7;
        EXPECT_TRUE(device.QueryBank(1, answer).Failed()) << index;
        EXPECT_EQ(answer, -1) << index;
    }
    EXPECT_EQ(Calls(SfmSlot::OpenDevice), 0u);
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 0u);
    EXPECT_EQ(SoftwareLibrary::opens + SoftwareLibrary::closes, 0);
}

TEST(SoundFontEngineWithoutLibrary, EveryDeviceAnswersWhyNoLibraryIsThere)
{
    CSoundFontEngine engine;
    EXPECT_EQ(engine.GetDeviceCount(), 0);
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(engine.GetDeviceNames(names).Ok());
    EXPECT_TRUE(names.empty());
    int index = 42;
    EXPECT_FALSE(engine.FindDevice("Simulated Synth 1", index));
    EXPECT_EQ(index, 42);
    EXPECT_STREQ(engine.Open(0).OpenResult().Text(), "Load Dll Failed");
    engine.SetMissingLibraryResult(EngineResult::Of(EngineResult::kInterfaceRefused, kSfmInterfaceNotSupported));
    CSfmDevice device = engine.Open(0);
    EXPECT_EQ(device.OpenResult().Code(), EngineResult::kInterfaceRefused);
    EXPECT_STREQ(device.OpenResult().Text(), "Interface Not Supported");
    std::string text = "stale";
    EXPECT_TRUE(device.BankName(1, text).Failed());
    EXPECT_EQ(text, "");
    EXPECT_TRUE(device.LoadBank(1, "a.sf2").Failed());
    EXPECT_TRUE(device.ClearAllBanks().Failed());
}

} // namespace
