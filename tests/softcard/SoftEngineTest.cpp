// TWSYNTH.DLL loaded as the program loads it, by full path, and asked through its exports: the
// operation table answers as a card, a load beyond the budget is refused with the card's
// code, every change reaches the state file, and the MIDI outputs are named like the devices.

#include "engine/SfmInterface.h"
#include "midi/SoftMidiTable.h"
#include "engine/SoftControl.h"
#include "tests/engine/SoundFontFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of("\\/") + 1);
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class SoftEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = FreshFolder("twsynth");
        s_statePath = s_folder + "softcard.state";
        SetEnvironmentVariableA("TONEWELL_SOFTCARD_STATE", s_statePath.c_str());
        const std::string library = ProgramFolder() + kSoftCardLibraryName;
        s_library = LoadLibraryA(library.c_str());
        ASSERT_NE(s_library, nullptr) << library << ": error " << GetLastError();
        auto entry = reinterpret_cast<const SfmEntry*>(GetProcAddress(s_library, kSfmEntryName));
        ASSERT_NE(entry, nullptr);
        ASSERT_EQ(entry->requestInterface(kSfmInterfaceId, &s_table), kSfmSuccess);
        s_midi = reinterpret_cast<const SoftMidiTable*>(GetProcAddress(s_library, kSoftMidiEntryName));
        s_control = reinterpret_cast<const SoftControlTable*>(GetProcAddress(s_library, kSoftControlName));
        ASSERT_NE(s_midi, nullptr);
        ASSERT_NE(s_control, nullptr);
    }

    static SfmResult Load(std::uint16_t device, std::uint16_t bank, const std::string& path)
    {
        SfmLocation location{bank, 0};
        std::string text = path;
        SfmBuffer buffer{static_cast<std::uint32_t>(text.size() + 1), &text[0], 0, 0};
        return s_table->LoadBank(device, &location, &buffer);
    }
    static std::string BankName(std::uint16_t device, std::uint16_t bank)
    {
        SfmLocation location{bank, 0};
        char text[1024] = {};
        SfmBuffer buffer{1023, text, 0, 0};
        EXPECT_EQ(s_table->BankName(device, &location, &buffer), kSfmSuccess);
        return text;
    }

    static inline HMODULE s_library = nullptr;
    static inline const SfmOperationTable* s_table = nullptr;
    static inline const SoftMidiTable* s_midi = nullptr;
    static inline const SoftControlTable* s_control = nullptr;
    static inline std::string s_folder;
    static inline std::string s_statePath;
};

TEST_F(SoftEngineTest, AnswersAsACardWithTwoSoftwareDevices)
{
    std::uint16_t count = 0;
    ASSERT_EQ(s_table->DeviceCount(&count), kSfmSuccess);
    EXPECT_EQ(count, 2);
    const char* names[] = {"Software Synth 1", "Software Synth 2"};
    for (std::uint32_t device = 0; device < 2; ++device) {
        SfmCapabilities capabilities{};
        ASSERT_EQ(s_table->Capabilities(device, &capabilities), kSfmSuccess) << device;
        EXPECT_EQ(SfmCapabilitiesName(capabilities), names[device]);
    }
    SfmCapabilities capabilities{};
    EXPECT_EQ(s_table->Capabilities(2, &capabilities), kSfmDeviceInvalid);
    std::uint16_t bank = 1;
    EXPECT_EQ(s_table->QueryBank(0, &bank), kSfmAccessNotPermitted) << "a device not opened";
}

TEST_F(SoftEngineTest, LoadsWithinTheBudgetRefusesBeyondItAndKeepsTheState)
{
    FixtureSoundFont strings;
    strings.name = "Strings";
    strings.presets = {{"Violin", 0, 40, 5000}};
    strings.audible = true;
    const std::string path = s_folder + "Strings.sf2";
    WriteSoundFont(path, strings);

    ASSERT_EQ(s_table->OpenDevice(1), kSfmSuccess);
    ASSERT_EQ(Load(1, 4, path), kSfmSuccess);
    EXPECT_EQ(BankName(1, 4), "Strings");
    std::uint32_t total = 0, available = 0;
    ASSERT_EQ(s_table->MemoryStatus(1, &total, &available), kSfmSuccess);
    EXPECT_EQ(total, 512u << 20);
    EXPECT_EQ(available, total - 10000);
    EXPECT_NE(ReadText(s_statePath).find("bank 4 10000 :Strings"), std::string::npos) << ReadText(s_statePath);

    ASSERT_EQ(s_control->SetSoundMemory(15000), kSfmSuccess);
    EXPECT_EQ(Load(1, 5, path), kSfmSoundMemoryInsufficient);
    EXPECT_NE(ReadText(s_statePath).find("device 15000 :Software%20Synth%202"), std::string::npos)
        << ReadText(s_statePath);
    SfmLocation location{4, 0};
    ASSERT_EQ(s_table->ClearBank(1, &location), kSfmSuccess);
    ASSERT_EQ(s_control->SetSoundMemory(512u << 20), kSfmSuccess);
    EXPECT_EQ(ReadText(s_statePath).find("bank 4"), std::string::npos);
    ASSERT_EQ(s_table->CloseDevice(1), kSfmSuccess);

    char text[MAX_PATH] = {};
    ASSERT_GT(s_control->StatePath(text, sizeof text), 0u);
    EXPECT_EQ(std::string(text), s_statePath);
}

// Here the Wine prefix may have no audio device: the card answers all the same, and says why.
TEST_F(SoftEngineTest, SaysWhyNothingCanBeHeardOrPlays)
{
    char text[2048] = {};
    std::uint32_t length = s_control->AudioFailure(text, sizeof text);
    EXPECT_EQ(length, std::string(text).size());
    if (length == 0)
        std::printf("the software card plays through the audio device\n");
    else
        std::printf("the software card can't be heard: %s\n", text);
    std::uint16_t count = 0;
    EXPECT_EQ(s_table->DeviceCount(&count), kSfmSuccess);
}

// The settings as the card's control panel sets them: a record with a value out of range is
// refused whole, a good one is answered back and kept in the state file; a new audio output
// is opened on the card's own thread, and the card answers meanwhile.
TEST_F(SoftEngineTest, TakesGoodSettingsKeepsThemAndRefusesABadRecordWhole)
{
    SoftCardSettings before{};
    ASSERT_EQ(s_control->GetSettings(&before), kSfmSuccess);
    EXPECT_EQ(before, SoftCardSettings()) << "the defaults";

    SoftCardSettings bad = before;
    bad.polyphony = 64;
    bad.bufferMs = 2000;
    EXPECT_EQ(s_control->SetSettings(&bad), kSfmUndefinedError);
    EXPECT_EQ(s_control->SetSettings(nullptr), kSfmUndefinedError);
    SoftCardSettings now{};
    ASSERT_EQ(s_control->GetSettings(&now), kSfmSuccess);
    EXPECT_EQ(now, before) << "nothing of a refused record taken";

    SoftCardSettings good{kSoftAudioWaveOut, 60, 256, 64, 0, 1};
    ASSERT_EQ(s_control->SetSettings(&good), kSfmSuccess);
    s_control->WaitUntilAudioSettled();
    ASSERT_EQ(s_control->GetSettings(&now), kSfmSuccess);
    EXPECT_EQ(now, good);
    const std::string state = ReadText(s_statePath);
    for (const char* line : {"setting audio waveout\n", "setting buffer-ms 60\n", "setting polyphony 64\n",
                             "setting reverb off\n", "setting chorus on\n", "device 268435456 :Software%20Synth%201\n"})
        EXPECT_NE(state.find(line), std::string::npos) << line << state;
    std::uint32_t total = 0, available = 0;
    ASSERT_EQ(s_table->OpenDevice(0), kSfmSuccess);
    ASSERT_EQ(s_table->MemoryStatus(0, &total, &available), kSfmSuccess);
    EXPECT_EQ(total, 256u << 20);
    ASSERT_EQ(s_table->CloseDevice(0), kSfmSuccess);

    ASSERT_EQ(s_control->SetSettings(&before), kSfmSuccess);
    s_control->WaitUntilAudioSettled();
}

TEST_F(SoftEngineTest, OffersAMidiOutputForEachDeviceNamedLikeIt)
{
    ASSERT_EQ(s_midi->version, kSoftMidiVersion);
    ASSERT_EQ(s_midi->OutputCount(), 2u);
    char name[64] = {};
    EXPECT_EQ(s_midi->OutputName(1, name, sizeof name), 16u);
    EXPECT_STREQ(name, "Software Synth 2");
    EXPECT_EQ(s_midi->OutputName(2, name, sizeof name), 0u);
    char small[5] = {};
    EXPECT_EQ(s_midi->OutputName(0, small, sizeof small), 16u);
    EXPECT_STREQ(small, "Soft");

    EXPECT_EQ(s_midi->ShortMessage(0, 0x90 | 60 << 8 | 100 << 16), kSoftMidiInvalidHandle);
    ASSERT_EQ(s_midi->Open(0), kSoftMidiOk);
    EXPECT_EQ(s_midi->ShortMessage(0, 0x90 | 60 << 8 | 100 << 16), kSoftMidiOk);
    EXPECT_EQ(s_midi->Close(0), kSoftMidiOk);
    EXPECT_EQ(s_midi->Close(0), kSoftMidiInvalidHandle);
    EXPECT_EQ(s_midi->Open(2), kSoftMidiBadDeviceId);
}

} // namespace
