#pragma once
// The main window set up for previewing on the virtual MIDI system: a keyboard, two outputs, a
// listed folder holding small.sf2, and a device map that plays the first device's banks on
// "Synth B", channel 3, and sounds on disk on "Synth A", channel 5.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/VirtualMidi.h"

#include <string>
#include <vector>

inline constexpr char kPreviewDevice1[] = "Simulated Synth 1";

class PreviewWindowTest : public MainWindowTest {
protected:
    // Before the window opens: `folderPrefix` names the test's fresh folder, `presets` those of
    // small.sf2 (named "Small").
    void SetUpPreviewWindow(const std::string& folderPrefix, const std::vector<FixturePreset>& presets)
    {
        m_midi.SetInputDevices({"Keys"});
        m_midi.SetOutputDevices({"Synth A", "Synth B"});
        m_folder = FreshFolder(folderPrefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        FixtureSoundFont soundFont;
        soundFont.name = "Small";
        soundFont.presets = presets;
        WriteSoundFont(m_folder + "small.sf2", soundFont);
        CProfile profile(IniPath(), false);
        profile.WriteStringArray("Preview", "DevMapArray_SFDevName", {kPreviewDevice1});
        profile.WriteStringArray("Preview", "DevMapArray_DevName", {"Synth B"});
        profile.WriteIntArray("Preview", "DevMapArray_Channel", {3});
        profile.WriteString("Preview", "LFMidiOutDevice", "Synth A");
        profile.WriteInt("Preview", "LFMidiOutChannel", 5);
        profile.WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        EXPECT_TRUE(m_midi.Violations().empty()) << ::testing::PrintToString(m_midi.Violations());
    }

    void ClickPreview() { SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0); }

    VirtualMidi m_midi;
    std::string m_folder;
    std::string m_listed;
};
