// The settings model on its own, without a window: every key of the table is written and
// read back, on the simulated card and a virtual MIDI system.

#include "engine/SoundFontManager.h"
#include "midi/MidiInPort.h"
#include "midi/MidiOutPort.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsModel.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/VirtualMidi.h"
#include "tests/support/WholeFile.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

namespace {

class SettingsModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        m_midi.SetInputDevices({"Keys", "Pads"});
        m_midi.SetOutputDevices({"Out A", "Simulated Synth 2"});
        ASSERT_TRUE(m_card.Initialize().Ok());
        m_folder = FreshFolder(std::string("settings-model-") +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_path = m_folder + "tnw.ini";
    }
    void TearDown() override { CoUninitialize(); }

    SettingsDevices Devices() { return {m_input, m_output, m_card}; }

    VirtualMidi m_midi;
    CSoundFontManager m_card;
    CMidiInPort m_input;
    CMidiOutPort m_output;
    std::string m_folder;
    std::string m_path;
};

// Every value away from its default, so that a key read into the wrong place shows.
SettingsModel Edited(const std::string& folder)
{
    SettingsModel model;
    model.preview.midiInDevice = 1;
    model.preview.previewOnStartup = true;
    model.preview.deviceMap.EntryFor("Simulated Synth 1") = {"Out A", 4, false};
    model.preview.deviceMap.EntryFor("Simulated Synth 2") = {"Simulated Synth 2", 9, true};
    model.preview.fileSoundFontDevice = 1;
    model.preview.fileMidiOutDevice = 1;
    model.preview.fileMidiOutChannel = 5;
    model.preview.fileBank = 6;
    model.preview.fileInstrument = 7;
    model.lastOpenDir = "C:\\Last\\";
    model.AddFolder(CShellItem(folder.substr(0, folder.size() - 1)));
    return model;
}

std::vector<std::string> Lines(const SettingsModel& model)
{
    std::vector<std::string> lines = {
        std::to_string(model.preview.midiInDevice),       std::to_string(model.preview.previewOnStartup),
        std::to_string(model.preview.fileSoundFontDevice), std::to_string(model.preview.fileMidiOutDevice),
        std::to_string(model.preview.fileMidiOutChannel),  std::to_string(model.preview.fileBank),
        std::to_string(model.preview.fileInstrument),      model.lastOpenDir,
    };
    for (const auto& [name, entry] : model.preview.deviceMap)
        lines.push_back(name + " " + entry.outDevName + " " + std::to_string(entry.channel) + " " +
                        std::to_string(entry.enabled));
    for (const CShellItem& folder : model.folders)
        lines.push_back(folder.GetPath());
    return lines;
}

} // namespace

TEST_F(SettingsModelTest, EveryKeyOfTheTableIsWrittenAndReadBack)
{
    const SettingsModel saved = Edited(m_folder);
    saved.Save(CProfile(m_path, false), Devices());

    const std::string text = ReadWholeFile(m_path).value_or("");
    for (const SettingKeyInfo& key : kSettingKeys) {
        SCOPED_TRACE(key.name);
        const bool array = key.key == SettingKey::Folders || std::string(key.name).rfind("DevMapArray_", 0) == 0;
        const std::string line = key.name + std::string(array ? "_0=" : "=");
        EXPECT_NE(text.find(line), std::string::npos) << text;
        EXPECT_NE(text.find("[" + std::string(key.section) + "]"), std::string::npos) << text;
    }

    SettingsModel read;
    int previewStarts = 0;
    read.Load(CProfile(m_path, false), Devices(), [&] { ++previewStarts; });
    EXPECT_EQ(Lines(read), Lines(saved));
    EXPECT_EQ(previewStarts, 1);
}

TEST_F(SettingsModelTest, AFileWithoutKeysGivesTheTableDefaults)
{
    SettingsModel read;
    read.Load(CProfile(m_path, false), Devices(), [] { FAIL() << "no preview at start without the key"; });
    EXPECT_EQ(read.preview.fileMidiOutChannel, KeyInfo(SettingKey::FileMidiOutChannel).absent);
    EXPECT_EQ(read.preview.fileBank, KeyInfo(SettingKey::FileBank).absent);
    EXPECT_EQ(read.preview.fileInstrument, KeyInfo(SettingKey::FileInstrument).absent);
    // The output named like the first SoundFont device is not among these outputs.
    EXPECT_EQ(read.preview.fileMidiOutDevice, 0);
    EXPECT_EQ(read.preview.deviceMap.size(), 2u) << "one entry per device of the card";
    EXPECT_TRUE(read.folders.empty());
}
