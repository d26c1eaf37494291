// The main window with the software card beside the simulated one: the tree lists the devices
// of both, a software device with a picture of its own, and a first run pairs each software
// device with its own MIDI output so that previewing just works; what the user set stays.

#include "tests/app/MainWindowFixture.h"

#include "base/SoftCardLibrary.h"
#include "base/WideText.h"
#include "midi/SoftMidiLibrary.h"
#include "settings/Profile.h"
#include "engine/SoftControl.h"
#include "tests/engine/SimAccess.h"

#include <algorithm>

namespace {

// The software card's outputs listed beside the system's, as the program does at start.
class MainWindowSoftCardTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        if (Window())
            Close();
        m_outputs.reset();
        MainWindowTest::TearDown();
    }

    std::unique_ptr<CSoftMidiLibrary> m_outputs = std::make_unique<CSoftMidiLibrary>();
};

// The device map as the saved tnw.ini holds it, one array per key.
struct SavedDeviceMap {
    std::vector<std::string> devices, outputs;
    std::vector<int> channels;
    std::vector<bool> enabled;
};

bool ReadSavedDeviceMap(CProfile& profile, SavedDeviceMap& map)
{
    return profile.ReadStringArray("Preview", "DevMapArray_SFDevName", map.devices) &&
           profile.ReadStringArray("Preview", "DevMapArray_DevName", map.outputs) &&
           profile.ReadIntArray("Preview", "DevMapArray_Channel", map.channels) &&
           profile.ReadBoolArray("Preview", "DevMapArray_Enable", map.enabled);
}

} // namespace

TEST_F(MainWindowSoftCardTest, TreeListsTheDevicesOfBothCardsEachWithItsPicture)
{
    ASSERT_TRUE(m_outputs->IsLoaded()) << m_outputs->Failure();
    Open();
    EXPECT_TRUE(m_boxes.Boxes().empty());
    TreeLines expected = {"1 Loaded SoundFonts", "2 Software Synth 1", "2 Software Synth 2",
                          "1 Sound Files on disk", "2 " + AddFolderPrompt()};
    expected.insert(expected.begin() + 1, {"2 Simulated Synth 1", "2 Simulated Synth 2"});
    EXPECT_EQ(Lines(), expected);

    const struct {
        const char* device;
        int picture;
    } cases[] = {
        {"Simulated Synth 1", kDevicePicture},
        {"Software Synth 1", kSoftDevicePicture},
        {"Software Synth 2", kSoftDevicePicture},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        HTREEITEM item = Find({"Loaded SoundFonts", c.device});
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(ImagesOf(item), std::make_pair(c.picture, c.picture));
    }
}

TEST_F(MainWindowSoftCardTest, FirstRunPairsEachSoftwareDeviceWithItsOwnOutputOnChannelOne)
{
    Open();
    Close();
    CProfile profile(IniPath(), false);
    SavedDeviceMap saved;
    ASSERT_TRUE(ReadSavedDeviceMap(profile, saved));
    EXPECT_EQ(saved.devices, (std::vector<std::string>{"Simulated Synth 1", "Simulated Synth 2",
                                                       "Software Synth 1", "Software Synth 2"}));
    // The simulated card keeps the default it always had: no output of its name, channel 16.
    EXPECT_EQ(saved.outputs, (std::vector<std::string>{"", "", "Software Synth 1", "Software Synth 2"}));
    EXPECT_EQ(saved.channels, (std::vector<int>{15, 15, 0, 0}));
    EXPECT_EQ(saved.enabled, (std::vector<bool>{true, true, true, true}));

    std::string text;
    ASSERT_TRUE(profile.ReadString("Preview", "LFSoundFontDevice", text));
    EXPECT_EQ(text, "Software Synth 1");
    ASSERT_TRUE(profile.ReadString("Preview", "LFMidiOutDevice", text));
    EXPECT_EQ(text, "Software Synth 1");
}

TEST_F(MainWindowSoftCardTest, StoredEntriesAndDiskFileDeviceAreKept)
{
    {
        CProfile profile(IniPath(), false);
        profile.WriteStringArray("Preview", "DevMapArray_SFDevName", {"Software Synth 1"});
        profile.WriteStringArray("Preview", "DevMapArray_DevName", {""});
        profile.WriteIntArray("Preview", "DevMapArray_Channel", {5});
        profile.WriteBoolArray("Preview", "DevMapArray_Enable", {false});
        profile.WriteString("Preview", "LFSoundFontDevice", "Simulated Synth 2");
        profile.WriteString("Preview", "LFMidiOutDevice", "");
    }
    Open();
    TreeLines expected = {"1 Loaded SoundFonts", "2 Software Synth 2", "1 Sound Files on disk",
                          "2 " + AddFolderPrompt()};
    // The simulated devices have no stored entry either: they get the old default, enabled.
    expected.insert(expected.begin() + 1, {"2 Simulated Synth 1", "2 Simulated Synth 2"});
    EXPECT_EQ(Lines(), expected);
    Close();

    CProfile profile(IniPath(), false);
    SavedDeviceMap saved;
    ASSERT_TRUE(ReadSavedDeviceMap(profile, saved));
    const std::vector<std::string>& devices = saved.devices;
    const std::vector<std::string>& outputs = saved.outputs;
    const std::vector<int>& channels = saved.channels;
    const std::vector<bool>& enabled = saved.enabled;
    ASSERT_EQ(outputs.size(), devices.size());
    ASSERT_EQ(channels.size(), devices.size());
    ASSERT_EQ(enabled.size(), devices.size());
    auto entryOf = [&](const std::string& device) {
        auto at = std::find(devices.begin(), devices.end(), device) - devices.begin();
        EXPECT_LT(static_cast<std::size_t>(at), devices.size()) << device;
        return at < static_cast<std::ptrdiff_t>(devices.size())
                   ? DevMapEntry{outputs[at], channels[at], enabled[at]}
                   : DevMapEntry{};
    };
    EXPECT_EQ(entryOf("Software Synth 1"), (DevMapEntry{"", 5, false}));
    // Known to the file of no one: paired as on a first run.
    EXPECT_EQ(entryOf("Software Synth 2"), (DevMapEntry{"Software Synth 2", 0, true}));
    std::string text;
    ASSERT_TRUE(profile.ReadString("Preview", "LFSoundFontDevice", text));
    EXPECT_EQ(text, "Simulated Synth 2");
}

TEST_F(MainWindowSoftCardTest, LoadBeyondTheSoftwareCardsBudgetIsRefusedAndLoadsNothing)
{
    Open();
    auto control = reinterpret_cast<const SoftControlTable*>(
        GetProcAddress(GetModuleHandleA(kSoftCardLibraryName), kSoftControlName));
    ASSERT_NE(control, nullptr);
    // TimGM6mb's samples take 5.5 MB.
    ASSERT_EQ(control->SetSoundMemory(1u << 20), kSfmSuccess);
    HTREEITEM target = Find({"Loaded SoundFonts", "Software Synth 1"});
    ASSERT_NE(target, nullptr);
    DropOnto({WidenAnsi(WindowsPath("/usr/share/sounds/sf2/TimGM6mb.sf2"))}, target);
    ASSERT_EQ(control->SetSoundMemory(512u << 20), kSfmSuccess);
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    EXPECT_EQ(m_boxes.Texts().at(0), "\"TimGM6mb.sf2\" needs 5.5 MB of sound memory, and only 1024.0 kB is free. "
                                     "Delete a loaded SoundFont to make room, then load it again.");
    HTREEITEM softwareDevice = Find({"Loaded SoundFonts", "Software Synth 1"});
    ASSERT_NE(softwareDevice, nullptr);
    EXPECT_EQ(ChildTexts(softwareDevice), std::vector<std::string>{}) << "nothing was loaded";
}
