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
        EXPECT_EQ(manager.Initialize(), 0);
        EXPECT_EQ(manager.Initialize(), 0);
        EXPECT_TRUE(LibraryLoaded());
        EXPECT_EQ(manager.GetDeviceCount(), 2) << "the second table works";
        EXPECT_STREQ(manager.GetErrorText(), "");
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
    EXPECT_STREQ(manager.GetErrorText(), "Load Dll Failed");
    EXPECT_EQ(manager.GetDeviceCount(), 0);
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(manager.GetDeviceNames(names), 0);
    EXPECT_TRUE(names.empty());
    int index = 42;
    EXPECT_EQ(manager.FindDevice("Simulated Synth 1", index), 3);
    EXPECT_EQ(index, 42);
    EXPECT_EQ(manager.OpenDevice(0), 502);
    EXPECT_EQ(manager.QueryBank(1), -1);

    std::string text = "stale";
    std::uint32_t total = 7, available = 7;
    SfmCapabilities capabilities = {};
    const std::pair<const char*, std::function<int()>> failures[] = {
        {"GetDeviceCapabilities", [&] { return manager.GetDeviceCapabilities(0, capabilities); }},
        {"GetDeviceName", [&] { return manager.GetDeviceName(0, text); }},
        {"CloseDevice", [&] { return manager.CloseDevice(); }},
        {"LoadBank", [&] { return manager.LoadBank(1, "Z:\\a.sf2"); }},
        {"ClearBank", [&] { return manager.ClearBank(1); }},
        {"ClearAllBanks", [&] { return manager.ClearAllBanks(); }},
        {"GetBankName", [&] { return manager.GetBankName(1, text); }},
        {"GetBankFileName", [&] { return manager.GetBankFileName(1, text); }},
        {"GetPresetName", [&] { return manager.GetPresetName(1, 0, text); }},
        {"GetMemoryStatus", [&] { return manager.GetMemoryStatus(total, available); }},
        {"LoadPreset", [&] { return manager.LoadPreset(0, 0, 127, 127, "Z:\\a.sf2"); }},
        {"ClearPreset", [&] { return manager.ClearPreset(127, 127); }},
        {"LoadWave", [&] { return manager.LoadWave(127, 127, "Z:\\a.wav"); }},
    };
    for (const auto& failure : failures)
        EXPECT_EQ(failure.second(), 1) << failure.first;
    EXPECT_EQ(text, "");
    EXPECT_EQ(total, 0u);
    EXPECT_EQ(available, 0u);
    EXPECT_FALSE(manager.IsDeviceOpen());
    EXPECT_STREQ(manager.GetErrorText(), "Load Dll Failed") << "no engine call has replaced it";
}

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_manager.Initialize(), 0);
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
    // Opens device 0 and loads the strings into each bank given.
    void LoadStrings(std::initializer_list<int> banks)
    {
        ASSERT_EQ(m_manager.OpenDevice(0), 0);
        for (int bank : banks)
            ASSERT_EQ(m_manager.LoadBank(bank, m_strings), 0)
                << bank << ": " << m_manager.GetErrorText();
    }
    std::uint32_t Calls(int slot) { return m_sim->CallCount(slot); }

    CSoundFontManager m_manager;
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
        const int count = m_manager.GetDeviceCount();
        EXPECT_EQ(m_manager.GetLastResult(), entry.first);
        EXPECT_STREQ(m_manager.GetErrorText(), entry.second) << entry.first;
        EXPECT_EQ(count, entry.first == 0 ? 2 : 0)
            << "a failed count lists no devices; code " << entry.first;
    }
}

TEST_F(ManagerTest, DeviceNamesComeFromTheCapabilities)
{
    ASSERT_EQ(m_sim->SetDeviceCount(3), 0);
    ASSERT_EQ(m_sim->SetDeviceName(1, "Second Synth"), 0);
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(m_manager.GetDeviceNames(names), 0);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Simulated Synth 1", "Second Synth", "Simulated Synth 3"}));

    SfmCapabilities capabilities = {};
    ASSERT_EQ(m_manager.GetDeviceCapabilities(1, capabilities), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(capabilities.bytes + 22), "Second Synth");

    ASSERT_EQ(m_sim->SetCapabilitiesUnreadable(1, 1), 0);
    std::string name = "kept";
    EXPECT_EQ(m_manager.GetDeviceName(1, name), 1);
    EXPECT_EQ(name, "kept");
    EXPECT_STREQ(m_manager.GetErrorText(), "Device Invalid");
    EXPECT_EQ(m_manager.GetDeviceNames(names), 1);
    EXPECT_EQ(names, std::vector<std::string>{"Simulated Synth 1"})
        << "the names before the unreadable one";

    ASSERT_EQ(m_sim->SetDeviceCount(0), 0);
    EXPECT_EQ(m_manager.GetDeviceNames(names), 0);
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
        EXPECT_EQ(m_manager.FindDevice(c.first, index), c.second < 0 ? 3 : 0) << c.first;
        EXPECT_EQ(index, c.second < 0 ? 99 : c.second) << c.first;
    }
}

TEST_F(ManagerTest, OpenDeviceRefusesIndexesOutsideTheListAndKeepsTheOpenDevice)
{
    ASSERT_EQ(m_manager.OpenDevice(1), 0);
    for (int index : {-1, 2, 65536 + 1, -65536}) {
        EXPECT_EQ(m_manager.OpenDevice(index), 502) << index;
        EXPECT_TRUE(m_manager.IsDeviceOpen()) << index;
        EXPECT_EQ(m_sim->OpenCount(1), 1u) << index;
    }
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 0u);
    EXPECT_EQ(m_manager.QueryBank(0), 0) << "device 1 is still the one in use";
}

TEST_F(ManagerTest, OpeningAnotherDeviceClosesTheOpenOneFirst)
{
    ASSERT_EQ(m_manager.OpenDevice(0), 0);
    ASSERT_EQ(m_manager.OpenDevice(1), 0);
    EXPECT_EQ(m_sim->OpenCount(0), 0u);
    EXPECT_EQ(m_sim->OpenCount(1), 1u);
    EXPECT_EQ(m_manager.CloseDevice(), 0);
    EXPECT_FALSE(m_manager.IsDeviceOpen());
    EXPECT_EQ(m_sim->OpenCount(1), 0u);
}

TEST_F(ManagerTest, ARefusedOpenStaysMarkedUntilItIsClosed)
{
    {
        CSoundFontManager manager;
        ASSERT_EQ(manager.Initialize(), 0);
        m_sim->FailSlot(SfmSlot::OpenDevice, 202);
        EXPECT_EQ(manager.OpenDevice(1), 1);
        EXPECT_STREQ(manager.GetErrorText(), "Device Busy");
        EXPECT_TRUE(manager.IsDeviceOpen());
        EXPECT_EQ(Calls(SfmSlot::CloseDevice), 0u);
    }
    EXPECT_EQ(Calls(SfmSlot::CloseDevice), 1u) << "the destructor closed it";
}

TEST_F(ManagerTest, CloseBeforeOpenIsAnEngineFailureAndLeavesNothingOpen)
{
    EXPECT_EQ(m_manager.CloseDevice(), 1);
    EXPECT_STREQ(m_manager.GetErrorText(), "Device Invalid");
    EXPECT_FALSE(m_manager.IsDeviceOpen());
    m_sim->FailSlot(SfmSlot::CloseDevice, 202);
    ASSERT_EQ(m_manager.OpenDevice(0), 0);
    EXPECT_EQ(m_manager.CloseDevice(), 1);
    EXPECT_FALSE(m_manager.IsDeviceOpen()) << "closed whatever the engine answers";
}

TEST_F(ManagerTest, ASuccessfulCloseKeepsTheFailureBeforeIt)
{
    // Commands close the device before they show why the operation failed.
    ASSERT_EQ(m_manager.OpenDevice(0), 0);
    EXPECT_EQ(m_manager.LoadBank(5, "Z:\\no\\such\\file.sf2"), 1);
    EXPECT_EQ(m_manager.CloseDevice(), 0);
    EXPECT_STREQ(m_manager.GetErrorText(), "Pathname Invalid");
}

TEST_F(ManagerTest, QueryBankAnswersTheBankNumberOrMinusOne)
{
    LoadStrings({5});
    EXPECT_EQ(m_manager.QueryBank(5), 5);
    EXPECT_EQ(m_manager.QueryBank(6), -1);
    EXPECT_EQ(m_manager.QueryBank(0), 0) << "the built-in bank";
    ASSERT_EQ(m_sim->AnswerBankAs(0, 9, 12), 0);
    EXPECT_EQ(m_manager.QueryBank(9), 12);
    // A failed query still answers what the field holds.
    m_sim->FailSlot(SfmSlot::QueryBank, 202);
    EXPECT_EQ(m_manager.QueryBank(6), 6);
    EXPECT_STREQ(m_manager.GetErrorText(), "Device Busy");
}

TEST_F(ManagerTest, ALoadedBankIsNamedFromItsFile)
{
    LoadStrings({5});
    std::string text;
    ASSERT_EQ(m_manager.GetBankName(5, text), 0);
    EXPECT_EQ(text, "Test Strings");
    ASSERT_EQ(m_manager.GetBankFileName(5, text), 0);
    EXPECT_EQ(text, m_strings);
    ASSERT_EQ(m_manager.GetPresetName(5, 42, text), 0);
    EXPECT_EQ(text, "Cello");
    ASSERT_EQ(m_manager.GetPresetName(0, 0, text), 0);
    EXPECT_EQ(text, "Acoustic Grand Piano");

    text = "stale";
    EXPECT_EQ(m_manager.GetPresetName(5, 41, text), 1);
    EXPECT_EQ(text, "");
    EXPECT_STREQ(m_manager.GetErrorText(), "Preset Index Invalid");
    text = "stale";
    EXPECT_EQ(m_manager.GetBankName(6, text), 1);
    EXPECT_EQ(text, "");

    EXPECT_EQ(m_manager.LoadBank(6, m_folder + "missing.sf2"), 1);
    EXPECT_STREQ(m_manager.GetErrorText(), "Pathname Invalid");
    WriteBytes(m_folder + "Not a font.sf2", "RIFF\4\0\0\0WAVE");
    EXPECT_EQ(m_manager.LoadBank(6, m_folder + "Not a font.sf2"), 1);
    EXPECT_STREQ(m_manager.GetErrorText(), "Format Invalid");
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
        {"a bank that never clears", kSimForever, 0, 1, CSoundFontManager::kMaxClearTries, true,
         "Undefined Error"},
        {"a clear the engine refuses", 0, 202, 1, 1, true, "Device Busy"},
    };
    for (const Case& c : cases) {
        m_sim->Reset();
        LoadStrings({4});
        m_sim->KeepBankLoaded(0, 4, c.keptClears);
        m_sim->FailSlot(SfmSlot::ClearBank, c.failure);
        const std::uint32_t before = Calls(SfmSlot::ClearBank);
        EXPECT_EQ(m_manager.ClearBank(4), c.result) << c.name;
        EXPECT_STREQ(m_manager.GetErrorText(), c.text) << c.name;
        EXPECT_EQ(Calls(SfmSlot::ClearBank) - before, c.clears) << c.name;
        m_sim->FailSlot(SfmSlot::ClearBank, 0);
        EXPECT_EQ(m_manager.QueryBank(4) == 4, c.stillLoaded) << c.name;
    }
    // Clearing a bank that is already empty.
    EXPECT_EQ(m_manager.ClearBank(9), 0);
    EXPECT_EQ(m_manager.ClearBank(9), 0);
}

TEST_F(ManagerTest, ClearAllBanksClearsEveryLoadedBankButTheBuiltInOne)
{
    LoadStrings({3, 7});
    const std::uint32_t before = Calls(SfmSlot::ClearBank);
    EXPECT_EQ(m_manager.ClearAllBanks(), 0);
    EXPECT_EQ(Calls(SfmSlot::ClearBank) - before, 2u) << "bank 0 is never cleared";
    EXPECT_EQ(m_manager.QueryBank(3), -1);
    EXPECT_EQ(m_manager.QueryBank(7), -1);
    EXPECT_EQ(m_manager.QueryBank(0), 0);
    std::uint32_t total = 0, available = 0;
    ASSERT_EQ(m_manager.GetMemoryStatus(total, available), 0);
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
        EXPECT_EQ(m_manager.ClearAllBanks(), 1) << failure.first;
        m_sim->FailSlot(SfmSlot::ClearBank, 0);
        EXPECT_EQ(m_manager.QueryBank(3), 3) << failure.first;
        EXPECT_EQ(m_manager.QueryBank(7), 7) << failure.first << ": bank 7 was never reached";
    }
}

TEST_F(ManagerTest, PathsReachTheEngineCutTo1023Characters)
{
    const std::pair<const char*, std::function<int(const std::string&)>> operations[] = {
        {"LoadBank", [&](const std::string& path) { return m_manager.LoadBank(3, path); }},
        {"LoadPreset",
         [&](const std::string& path) { return m_manager.LoadPreset(0, 0, 127, 127, path); }},
        {"LoadWave", [&](const std::string& path) { return m_manager.LoadWave(127, 127, path); }},
    };
    ASSERT_EQ(m_manager.OpenDevice(0), 0);
    for (const auto& operation : operations) {
        for (std::size_t length : {1022u, 1023u, 1024u, 1500u}) {
            std::string path = "Z:\\";
            for (std::size_t at = path.size(); at < length; ++at)
                path += static_cast<char>('a' + at % 26);
            const std::string expected = path.substr(0, 1023);
            EXPECT_EQ(operation.second(path), 1) << operation.first << " " << length;
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
    ASSERT_EQ(m_manager.GetMemoryStatus(total, available), 0);
    EXPECT_EQ(total, 1u << 20);
    EXPECT_EQ(available, 1u << 20);
    ASSERT_EQ(m_manager.LoadBank(2, m_strings), 0);
    ASSERT_EQ(m_manager.GetMemoryStatus(total, available), 0);
    EXPECT_EQ(available, (1u << 20) - SampleBytes(Strings()));

    m_sim->FailSlot(SfmSlot::MemoryStatus, 202);
    EXPECT_EQ(m_manager.GetMemoryStatus(total, available), 1);
    EXPECT_EQ(total, 0u) << "a failed query hands back the meter's empty state";
    EXPECT_EQ(available, 0u);
}

TEST_F(ManagerTest, PreviewInstrumentsArePlacedAndClearedThroughTheBinding)
{
    const std::string wave = m_folder + "Snare.wav";
    WriteBytes(wave, WaveBytes(5000));
    LoadStrings({});
    std::uint32_t total = 0, before = 0, after = 0;
    ASSERT_EQ(m_manager.GetMemoryStatus(total, before), 0);

    ASSERT_EQ(m_manager.LoadPreset(0, 40, 127, 127, m_strings), 0);
    std::string name;
    ASSERT_EQ(m_manager.GetPresetName(127, 127, name), 0);
    EXPECT_EQ(name, "Violin");
    ASSERT_EQ(m_manager.LoadWave(127, 126, wave), 0);
    ASSERT_EQ(m_manager.GetPresetName(127, 126, name), 0);
    EXPECT_EQ(name, "Snare");
    ASSERT_EQ(m_manager.GetMemoryStatus(total, after), 0);
    EXPECT_EQ(before - after, 2000u + 5000u);

    EXPECT_EQ(m_manager.ClearPreset(127, 127), 0);
    EXPECT_EQ(m_manager.ClearPreset(127, 126), 0);
    ASSERT_EQ(m_manager.GetMemoryStatus(total, after), 0);
    EXPECT_EQ(after, before);

    EXPECT_EQ(m_manager.LoadWave(127, 127, m_strings), 1);
    EXPECT_STREQ(m_manager.GetErrorText(), "Format Invalid");
    EXPECT_EQ(m_manager.LoadPreset(0, 41, 127, 127, m_strings), 1);
    EXPECT_STREQ(m_manager.GetErrorText(), "Preset Index Invalid");
}

TEST_F(ManagerTest, ARealSoundFontIsLoadedNamedMeasuredAndCleared)
{
    const std::string unixPath = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    if (!std::ifstream(WindowsPath(unixPath)))
        GTEST_SKIP() << unixPath << " is not installed (package timgm6mb-soundfont)";
    const std::string path = WindowsPath(unixPath);
    LoadStrings({});
    std::uint32_t total = 0, before = 0, after = 0;
    ASSERT_EQ(m_manager.GetMemoryStatus(total, before), 0);

    ASSERT_EQ(m_manager.LoadBank(1, path), 0) << m_manager.GetErrorText();
    EXPECT_EQ(m_manager.QueryBank(1), 1);
    std::string text;
    ASSERT_EQ(m_manager.GetBankName(1, text), 0);
    EXPECT_EQ(text, "TimGM6mb1.sf2") << "the file's own INAM";
    ASSERT_EQ(m_manager.GetBankFileName(1, text), 0);
    EXPECT_EQ(text, path);
    ASSERT_EQ(m_manager.GetPresetName(1, 0, text), 0);
    EXPECT_EQ(text, "Piano 1");
    ASSERT_EQ(m_manager.GetMemoryStatus(total, after), 0);
    EXPECT_EQ(before - after, 5764336u) << "the size of its smpl chunk";

    ASSERT_EQ(m_manager.ClearBank(1), 0);
    EXPECT_EQ(m_manager.QueryBank(1), -1);
    ASSERT_EQ(m_manager.GetMemoryStatus(total, after), 0);
    EXPECT_EQ(after, before);
}

TEST_F(ManagerTest, ASoundFontLargerThanTheSoundMemoryIsRefused)
{
    const std::string unixPath = "/usr/share/sounds/sf2/OPL-3_FM_128M.sf2";
    if (!std::ifstream(WindowsPath(unixPath)))
        GTEST_SKIP() << unixPath << " is not installed (package opl3-soundfont)";
    LoadStrings({});
    EXPECT_EQ(m_manager.LoadBank(2, WindowsPath(unixPath)), 1);
    EXPECT_STREQ(m_manager.GetErrorText(), "Sound Memory Insufficient");
    EXPECT_EQ(m_manager.QueryBank(2), -1);

    ASSERT_EQ(m_sim->SetDeviceMemory(0, 256u << 20), 0);
    ASSERT_EQ(m_manager.LoadBank(2, WindowsPath(unixPath)), 0) << m_manager.GetErrorText();
    std::string name;
    ASSERT_EQ(m_manager.GetBankName(2, name), 0);
    EXPECT_EQ(name, "OPL-3 FM 128M");
}

} // namespace
