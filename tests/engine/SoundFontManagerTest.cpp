// CSoundFontManager against the simulated SFMAN32.DLL, loaded by the real LoadLibraryA from
// this program's folder.

#include "engine/SoundFontManager.h"
#include "tests/engine/SimAccess.h"
#include "tests/engine/SoundFontFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace {

bool LibraryLoaded()
{
    return GetModuleHandleA("SFMAN32.DLL") != nullptr;
}

TEST(ManagerLoading, InitializeHoldsOneLoadOfTheLibraryHoweverOftenItRuns)
{
    ASSERT_FALSE(LibraryLoaded()) << "nothing else in this test may hold the library";
    {
        CSoundFontManager manager;
        EXPECT_TRUE(manager.Initialize().Ok());
        EngineResult again = manager.Initialize();
        EXPECT_TRUE(again.Ok());
        EXPECT_STREQ(again.Text(), "");
        EXPECT_TRUE(LibraryLoaded());
        EXPECT_EQ(manager.GetDeviceCount(), 2) << "the second table works";
    }
    EXPECT_FALSE(LibraryLoaded()) << "the destructor released the only load";
}

TEST(ManagerLoading, DestroyingAManagerThatNeverLoadedUnloadsNothing)
{
    HMODULE own = LoadLibraryA("SFMAN32.DLL");
    ASSERT_NE(own, nullptr);
    { CSoundFontManager manager; }
    EXPECT_TRUE(LibraryLoaded());
    FreeLibrary(own);
    EXPECT_FALSE(LibraryLoaded());
}

// Callers that go on after a failed Initialize see no devices and failures, never a crash.
TEST(ManagerLoading, WithoutAnOperationTableThereAreNoDevicesAndEveryOperationFails)
{
    CSoundFontManager manager;
    EXPECT_EQ(manager.GetDeviceCount(), 0);
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(manager.GetDeviceNames(names).Ok());
    EXPECT_TRUE(names.empty());
    int index = 42;
    EXPECT_FALSE(manager.FindDevice("Simulated Synth 1", index));
    EXPECT_EQ(index, 42);
    CSfmDevice device = manager.Open(0);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.OpenResult().Code(), EngineResult::kLibraryNotLoaded);
    EXPECT_STREQ(device.OpenResult().Text(), "Load Dll Failed") << "what a message says";
    int answer = 0;
    device.QueryBank(1, answer);
    EXPECT_EQ(answer, -1);

    std::string text = "stale";
    std::uint32_t total = 7, available = 7;
    SfmCapabilities capabilities = {};
    const std::pair<const char*, std::function<EngineResult()>> failures[] = {
        {"GetDeviceCapabilities", [&] { return manager.GetDeviceCapabilities(0, capabilities); }},
        {"GetDeviceName", [&] { return manager.GetDeviceName(0, text); }},
        {"LoadBank", [&] { return device.LoadBank(1, "Z:\\a.sf2"); }},
        {"ClearBank", [&] { return device.ClearBank(1); }},
        {"ClearAllBanks", [&] { return device.ClearAllBanks(); }},
        {"BankName", [&] { return device.BankName(1, text); }},
        {"BankFileName", [&] { return device.BankFileName(1, text); }},
        {"PresetName", [&] { return device.PresetName(1, 0, text); }},
        {"MemoryStatus", [&] { return device.MemoryStatus(total, available); }},
        {"LoadPreset", [&] { return device.LoadPreset(0, 0, 127, 127, "Z:\\a.sf2"); }},
        {"ClearPreset", [&] { return device.ClearPreset(127, 127); }},
        {"LoadWave", [&] { return device.LoadWave(127, 127, "Z:\\a.wav"); }},
    };
    for (const auto& failure : failures)
        EXPECT_STREQ(failure.second().Text(), "Load Dll Failed") << failure.first;
    EXPECT_EQ(text, "");
    EXPECT_EQ(total, 0u);
    EXPECT_EQ(available, 0u);
    EXPECT_FALSE(manager.IsDeviceOpen());
}

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_manager.Initialize().Ok());
        m_sim = FindSimControl();
        ASSERT_NE(m_sim, nullptr);
        m_sim->Reset();
        WriteSoundFont(m_strings, Strings());
    }

    static FixtureSoundFont Strings()
    {
        FixtureSoundFont font;
        font.name = "Test Strings";
        font.presets = {{"Violin", 0, 40, 1000}, {"Cello", 0, 42, 3000}};
        return font;
    }
    // Opens device 0 as m_device and loads the strings into each bank given.
    void LoadStrings(std::initializer_list<int> banks)
    {
        // Closed before the next open: a card that was reset between them counts no open.
        m_device.Close();
        m_device = m_manager.Open(0);
        ASSERT_TRUE(m_device.IsOpen());
        for (int bank : banks) {
            EngineResult loaded = m_device.LoadBank(bank, m_strings);
            ASSERT_TRUE(loaded.Ok()) << bank << ": " << loaded.Text();
        }
    }
    int Query(int bank)
    {
        int answer = 0;
        m_device.QueryBank(bank, answer);
        return answer;
    }
    std::uint32_t Calls(int slot) { return m_sim->CallCount(slot); }

    CSoundFontManager m_manager;
    CSfmDevice m_device;
    const SimControlTable* m_sim = nullptr;
    std::string m_folder = FreshFolder("manager");
    std::string m_strings = m_folder + "Strings.sf2";
};

TEST_F(ManagerTest, ErrorTextsCoverTheWholeTable)
{
    const std::pair<SfmResult, const char*> texts[] = {
        {0, ""},
        {105, "Synth Invalid"},
        {106, "Bank Index Invalid"},
        {107, "Pathname Invalid"},
        {108, "Format Invalid"},
        {109, "Preset Index Invalid"},
        {111, "Access Not Permitted"},
        {112, "Version Invalid"},
        {113, "Device Invalid"},
        {114, "Support Invalid"},
        {115, "Invalid Sound Rom"},
        {116, "Not Static Memory"},
        {117, "Last Invalid"},
        {201, "Dll Busy"},
        {202, "Device Busy"},
        {203, "Resource Insufficient"},
        {204, "System Memory Insufficient"},
        {205, "Sound Memory Insufficient"},
        {206, "Last Contention"},
        {401, "Load Dll Failed"},
        {402, "Get Entrypoint Fail"},
        {403, "Device Not Found"},
        {404, "Interface Not Supported"},
        {405, "Last API"},
        {901, "Undefined Error"},
        {110, "Unknown Error"},
        {3, "Unknown Error"},
        {1, "Unknown Error"},
        {104, "Unknown Error"},
        {500, "Unknown Error"},
        {-1, "Unknown Error"},
        {-205, "Unknown Error"},
        {0x7FFFFFFF, "Unknown Error"},
    };
    for (const auto& entry : texts) {
        m_sim->FailSlot(SfmSlot::DeviceCount, entry.first);
        int count = -1;
        const EngineResult counted = m_manager.CountDevices(count);
        EXPECT_EQ(counted.Code(), entry.first);
        EXPECT_STREQ(counted.Text(), entry.second) << entry.first;
        EXPECT_EQ(count, entry.first == 0 ? 2 : 0)
            << "a failed count lists no devices; code " << entry.first;
    }
}

TEST_F(ManagerTest, DeviceNamesComeFromTheCapabilities)
{
    ASSERT_EQ(m_sim->SetDeviceCount(3), 0);
    ASSERT_EQ(m_sim->SetDeviceName(1, "Second Synth"), 0);
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(m_manager.GetDeviceNames(names).Ok());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Simulated Synth 1", "Second Synth", "Simulated Synth 3"}));

    SfmCapabilities capabilities = {};
    ASSERT_TRUE(m_manager.GetDeviceCapabilities(1, capabilities).Ok());
    EXPECT_STREQ(reinterpret_cast<const char*>(capabilities.bytes + 22), "Second Synth");

    ASSERT_EQ(m_sim->SetCapabilitiesUnreadable(1, 1), 0);
    std::string name = "kept";
    EXPECT_STREQ(m_manager.GetDeviceName(1, name).Text(), "Device Invalid");
    EXPECT_EQ(name, "kept");
    EXPECT_TRUE(m_manager.GetDeviceNames(names).Failed());
    EXPECT_EQ(names, std::vector<std::string>{"Simulated Synth 1"})
        << "the names before the unreadable one";

    ASSERT_EQ(m_sim->SetDeviceCount(0), 0);
    EXPECT_TRUE(m_manager.GetDeviceNames(names).Ok());
    EXPECT_TRUE(names.empty());
}

TEST_F(ManagerTest, FindDeviceComparesWholeNamesAndTheHighestIndexWins)
{
    ASSERT_EQ(m_sim->SetDeviceCount(4), 0);
    ASSERT_EQ(m_sim->SetDeviceName(0, "Synth"), 0);
    ASSERT_EQ(m_sim->SetDeviceName(2, "Synth"), 0);
    ASSERT_EQ(m_sim->SetDeviceName(3, "Synth"), 0);
    ASSERT_EQ(m_sim->SetCapabilitiesUnreadable(3, 1), 0);
    const std::pair<const char*, int> cases[] = {
        {"Synth", 2},  // 0 and 2 match; 3 can't be read and does not
        {"Simulated Synth 2", 1},
        {"synth", -1},
        {"Synt", -1},
        {"Synth ", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        int index = 99;
        EXPECT_EQ(m_manager.FindDevice(c.first, index), c.second >= 0) << c.first;
        EXPECT_EQ(index, c.second < 0 ? 99 : c.second) << c.first;
    }
}

TEST_F(ManagerTest, IndexesOutsideTheListAreRefusedWithoutTouchingAnOpenDevice)
{
    CSfmDevice open = m_manager.Open(1);
    ASSERT_TRUE(open.IsOpen());
    for (int index : {-1, 2, 65536 + 1, -65536}) {
        CSfmDevice outside = m_manager.Open(index);
        EXPECT_EQ(outside.OpenResult().Code(), EngineResult::kDeviceIndexOutOfRange) << index;
        EXPECT_EQ(m_sim->OpenCount(1), 1u) << index;
    }
    EXPECT_EQ(Calls(SfmSlot::OpenDevice), 1u);
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 0u);
    EXPECT_TRUE(open.IsBankLoaded(0)) << "device 1 is still open";
}

TEST_F(ManagerTest, AScopedDeviceIsClosedWhenItGoes)
{
    {
        CSfmDevice first = m_manager.Open(0);
        CSfmDevice second = m_manager.Open(1);
        ASSERT_TRUE(first.IsOpen() && second.IsOpen());
        EXPECT_EQ(m_sim->OpenCount(0), 1u);
        EXPECT_EQ(m_sim->OpenCount(1), 1u);
        EXPECT_TRUE(m_manager.IsDeviceOpen());
        CSfmDevice moved = std::move(first);
        EXPECT_EQ(m_sim->OpenCount(0), 1u) << "a move closes nothing";
        second = m_manager.Open(0);
        EXPECT_EQ(m_sim->OpenCount(1), 0u) << "the device assigned over was closed";
        EXPECT_EQ(m_sim->OpenCount(0), 2u);
    }
    EXPECT_EQ(m_sim->OpenCount(0), 0u);
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 3u);
    EXPECT_FALSE(m_manager.IsDeviceOpen());
}

TEST_F(ManagerTest, ARefusedOpenIsStillClosed)
{
    {
        m_sim->FailSlot(SfmSlot::OpenDevice, 202);
        CSfmDevice device = m_manager.Open(1);
        EXPECT_FALSE(device.IsOpen());
        EXPECT_STREQ(device.OpenResult().Text(), "Device Busy");
        EXPECT_EQ(Calls(SfmSlot::CloseDevice), 0u);
    }
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 1u) << "the destructor closed it";
}

TEST_F(ManagerTest, ARefusedCloseIsAnsweredAndTheDeviceIsClosedAnyway)
{
    CSfmDevice device = m_manager.Open(0);
    ASSERT_TRUE(device.IsOpen());
    EngineResult loaded = device.LoadBank(5, "Z:\\no\\such\\file.sf2");
    m_sim->FailSlot(SfmSlot::CloseDevice, 202);
    EXPECT_STREQ(device.Close().Text(), "Device Busy");
    EXPECT_STREQ(loaded.Text(), "Pathname Invalid") << "each result keeps its own text";
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(m_manager.IsDeviceOpen()) << "closed whatever the engine answers";
    EXPECT_TRUE(device.Close().Ok()) << "a second close does nothing";
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 1u);
}

TEST_F(ManagerTest, QueryBankAnswersTheBankNumberOrMinusOne)
{
    LoadStrings({5});
    EXPECT_EQ(Query(5), 5);
    EXPECT_EQ(Query(6), -1);
    EXPECT_EQ(Query(0), 0) << "the built-in bank";
    ASSERT_EQ(m_sim->AnswerBankAs(0, 9, 12), 0);
    EXPECT_EQ(Query(9), 12);
    // A failed query still answers what the field holds.
    m_sim->FailSlot(SfmSlot::QueryBank, 202);
    int answer = 0;
    EXPECT_STREQ(m_device.QueryBank(6, answer).Text(), "Device Busy");
    EXPECT_EQ(answer, 6);
}

TEST_F(ManagerTest, ALoadedBankIsNamedFromItsFile)
{
    LoadStrings({5});
    std::string text;
    ASSERT_TRUE(m_device.BankName(5, text).Ok());
    EXPECT_EQ(text, "Test Strings");
    ASSERT_TRUE(m_device.BankFileName(5, text).Ok());
    EXPECT_EQ(text, m_strings);
    ASSERT_TRUE(m_device.PresetName(5, 42, text).Ok());
    EXPECT_EQ(text, "Cello");
    ASSERT_TRUE(m_device.PresetName(0, 0, text).Ok());
    EXPECT_EQ(text, "Acoustic Grand Piano");

    text = "stale";
    EXPECT_STREQ(m_device.PresetName(5, 41, text).Text(), "Preset Index Invalid");
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_TRUE(m_device.BankName(6, text).Failed());
    EXPECT_EQ(text, "");

    EXPECT_STREQ(m_device.LoadBank(6, m_folder + "missing.sf2").Text(), "Pathname Invalid");
    WriteBytes(m_folder + "Not a font.sf2", "RIFF\4\0\0\0WAVE");
    EXPECT_STREQ(m_device.LoadBank(6, m_folder + "Not a font.sf2").Text(), "Format Invalid");
}

TEST_F(ManagerTest, ClearBankClearsAgainOnlyWhileTheBankStaysLoadedAndThenGivesUp)
{
    struct Case {
        const char* name;
        std::uint32_t keptClears;
        SfmResult failure;
        int result;
        std::uint32_t clears;
        bool stillLoaded;
        const char* text;
    } cases[] = {
        {"a bank that clears at once", 0, 0, 0, 1, false, ""},
        {"a bank still loaded after the first clear", 1, 0, 0, 2, false, ""},
        {"a bank that never clears", kSimForever, 0, 1, CSfmDevice::kMaxClearTries, true,
         "Undefined Error"},
        {"a clear the engine refuses", 0, 202, 1, 1, true, "Device Busy"},
    };
    for (const Case& c : cases) {
        m_sim->Reset();
        LoadStrings({4});
        m_sim->KeepBankLoaded(0, 4, c.keptClears);
        m_sim->FailSlot(SfmSlot::ClearBank, c.failure);
        const std::uint32_t before = Calls(SfmSlot::ClearBank);
        EngineResult cleared = m_device.ClearBank(4);
        EXPECT_EQ(cleared.Failed() ? 1 : 0, c.result) << c.name;
        EXPECT_STREQ(cleared.Text(), c.text) << c.name;
        EXPECT_EQ(Calls(SfmSlot::ClearBank) - before, c.clears) << c.name;
        m_sim->FailSlot(SfmSlot::ClearBank, 0);
        EXPECT_EQ(m_device.IsBankLoaded(4), c.stillLoaded) << c.name;
    }
    // Clearing a bank that is already empty.
    EXPECT_TRUE(m_device.ClearBank(9).Ok());
    EXPECT_TRUE(m_device.ClearBank(9).Ok());
}

TEST_F(ManagerTest, ClearAllBanksClearsEveryLoadedBankButTheBuiltInOne)
{
    LoadStrings({3, 7});
    const std::uint32_t before = Calls(SfmSlot::ClearBank);
    EXPECT_TRUE(m_device.ClearAllBanks().Ok());
    EXPECT_EQ(Calls(SfmSlot::ClearBank) - before, 2u) << "bank 0 is never cleared";
    EXPECT_EQ(Query(3), -1);
    EXPECT_EQ(Query(7), -1);
    EXPECT_EQ(Query(0), 0);
    std::uint32_t total = 0, available = 0;
    ASSERT_TRUE(m_device.MemoryStatus(total, available).Ok());
    EXPECT_EQ(available, total);
}

TEST_F(ManagerTest, ClearAllBanksStopsAtTheFirstBankThatFails)
{
    const std::pair<const char*, std::function<void()>> failures[] = {
        {"the engine refuses the clear", [&] { m_sim->FailSlot(SfmSlot::ClearBank, 202); }},
        {"the bank never clears", [&] { m_sim->KeepBankLoaded(0, 3, kSimForever); }},
    };
    for (const auto& failure : failures) {
        m_sim->Reset();
        LoadStrings({3, 7});
        failure.second();
        EXPECT_TRUE(m_device.ClearAllBanks().Failed()) << failure.first;
        m_sim->FailSlot(SfmSlot::ClearBank, 0);
        EXPECT_EQ(Query(3), 3) << failure.first;
        EXPECT_EQ(Query(7), 7) << failure.first << ": bank 7 was never reached";
    }
}

TEST_F(ManagerTest, PathsReachTheEngineCutTo1023Characters)
{
    const std::pair<const char*, std::function<EngineResult(const std::string&)>> operations[] = {
        {"LoadBank", [&](const std::string& path) { return m_device.LoadBank(3, path); }},
        {"LoadPreset",
         [&](const std::string& path) { return m_device.LoadPreset(0, 0, 127, 127, path); }},
        {"LoadWave", [&](const std::string& path) { return m_device.LoadWave(127, 127, path); }},
    };
    LoadStrings({});
    for (const auto& operation : operations) {
        for (std::size_t length : {1022u, 1023u, 1024u, 1500u}) {
            std::string path = "Z:\\";
            for (std::size_t at = path.size(); at < length; ++at)
                path += static_cast<char>('a' + at % 26);
            const std::string expected = path.substr(0, 1023);
            EXPECT_TRUE(operation.second(path).Failed()) << operation.first << " " << length;
            std::string received(2048, '\0');
            std::uint32_t size = 0;
            std::uint16_t reserved = 0xFFFF;
            received.resize(m_sim->LastPath(&received[0], 2048, &size, &reserved));
            EXPECT_EQ(received, expected) << operation.first << " " << length;
            EXPECT_EQ(size, expected.size() + 1) << operation.first << " " << length;
            EXPECT_EQ(reserved, 0) << operation.first << " " << length;
        }
    }
}

TEST_F(ManagerTest, MemoryStatusReportsTotalAndFreeBytes)
{
    LoadStrings({});
    ASSERT_EQ(m_sim->SetDeviceMemory(0, 1u << 20), 0);
    std::uint32_t total = 0, available = 0;
    ASSERT_TRUE(m_device.MemoryStatus(total, available).Ok());
    EXPECT_EQ(total, 1u << 20);
    EXPECT_EQ(available, 1u << 20);
    ASSERT_TRUE(m_device.LoadBank(2, m_strings).Ok());
    ASSERT_TRUE(m_device.MemoryStatus(total, available).Ok());
    EXPECT_EQ(available, (1u << 20) - SampleBytes(Strings()));

    m_sim->FailSlot(SfmSlot::MemoryStatus, 202);
    EXPECT_TRUE(m_device.MemoryStatus(total, available).Failed());
    EXPECT_EQ(total, 0u) << "a failed query hands back the meter's empty state";
    EXPECT_EQ(available, 0u);
}

TEST_F(ManagerTest, PreviewInstrumentsArePlacedAndClearedThroughTheBinding)
{
    const std::string wave = m_folder + "Snare.wav";
    WriteBytes(wave, WaveBytes(5000));
    LoadStrings({});
    std::uint32_t total = 0, before = 0, after = 0;
    ASSERT_TRUE(m_device.MemoryStatus(total, before).Ok());

    ASSERT_TRUE(m_device.LoadPreset(0, 40, 127, 127, m_strings).Ok());
    std::string name;
    ASSERT_TRUE(m_device.PresetName(127, 127, name).Ok());
    EXPECT_EQ(name, "Violin");
    ASSERT_TRUE(m_device.LoadWave(127, 126, wave).Ok());
    ASSERT_TRUE(m_device.PresetName(127, 126, name).Ok());
    EXPECT_EQ(name, "Snare");
    ASSERT_TRUE(m_device.MemoryStatus(total, after).Ok());
    EXPECT_EQ(before - after, 2000u + 5000u);

    EXPECT_TRUE(m_device.ClearPreset(127, 127).Ok());
    EXPECT_TRUE(m_device.ClearPreset(127, 126).Ok());
    ASSERT_TRUE(m_device.MemoryStatus(total, after).Ok());
    EXPECT_EQ(after, before);

    EXPECT_STREQ(m_device.LoadWave(127, 127, m_strings).Text(), "Format Invalid");
    EXPECT_STREQ(m_device.LoadPreset(0, 41, 127, 127, m_strings).Text(), "Preset Index Invalid");
}

TEST_F(ManagerTest, ARealSoundFontIsLoadedNamedMeasuredAndCleared)
{
    const std::string unixPath = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    if (!std::ifstream(WindowsPath(unixPath)))
        GTEST_SKIP() << unixPath << " is not installed (package timgm6mb-soundfont)";
    const std::string path = WindowsPath(unixPath);
    LoadStrings({});
    std::uint32_t total = 0, before = 0, after = 0;
    ASSERT_TRUE(m_device.MemoryStatus(total, before).Ok());

    ASSERT_TRUE(m_device.LoadBank(1, path).Ok());
    EXPECT_EQ(Query(1), 1);
    std::string text;
    ASSERT_TRUE(m_device.BankName(1, text).Ok());
    EXPECT_EQ(text, "TimGM6mb1.sf2") << "the file's own INAM";
    ASSERT_TRUE(m_device.BankFileName(1, text).Ok());
    EXPECT_EQ(text, path);
    ASSERT_TRUE(m_device.PresetName(1, 0, text).Ok());
    EXPECT_EQ(text, "Piano 1");
    ASSERT_TRUE(m_device.MemoryStatus(total, after).Ok());
    EXPECT_EQ(before - after, 5764336u) << "the size of its smpl chunk";

    ASSERT_TRUE(m_device.ClearBank(1).Ok());
    EXPECT_EQ(Query(1), -1);
    ASSERT_TRUE(m_device.MemoryStatus(total, after).Ok());
    EXPECT_EQ(after, before);
}

TEST_F(ManagerTest, ASoundFontLargerThanTheSoundMemoryIsRefused)
{
    const std::string unixPath = "/usr/share/sounds/sf2/OPL-3_FM_128M.sf2";
    if (!std::ifstream(WindowsPath(unixPath)))
        GTEST_SKIP() << unixPath << " is not installed (package opl3-soundfont)";
    LoadStrings({});
    EXPECT_STREQ(m_device.LoadBank(2, WindowsPath(unixPath)).Text(), "Sound Memory Insufficient");
    EXPECT_EQ(Query(2), -1);

    ASSERT_EQ(m_sim->SetDeviceMemory(0, 256u << 20), 0);
    ASSERT_TRUE(m_device.LoadBank(2, WindowsPath(unixPath)).Ok());
    std::string name;
    ASSERT_TRUE(m_device.BankName(2, name).Ok());
    EXPECT_EQ(name, "OPL-3 FM 128M");
}

} // namespace
