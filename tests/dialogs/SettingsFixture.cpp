#include "tests/dialogs/SettingsFixture.h"

// The second and fourth outputs share a name, as two ports of one driver may.
const std::vector<std::string> SettingsFixture::kInputs = {"Keyboard", "Pad"};
const std::vector<std::string> SettingsFixture::kOutputs = {"MIDI Out", "Card Synth A",
                                                            "Card Synth B", "Card Synth A"};
const std::vector<std::string> SettingsFixture::kSoundFontDevices = {"Card Synth A",
                                                                     "Card Synth B"};

void SettingsFixture::SetUp()
{
    ASSERT_NE(card.Control(), nullptr) << "SFMAN32.DLL must be beside the test program";
    for (std::uint32_t device = 0; device < kSoundFontDevices.size(); ++device)
        ASSERT_EQ(card.Control()->SetDeviceName(device, kSoundFontDevices[device].c_str()), 0);
    midi.SetInputDevices(kInputs);
    midi.SetOutputDevices(kOutputs);
}

void SettingsFixture::TearDown()
{
    EXPECT_TRUE(boxes.Texts().empty());
}

int ComboSelection(HWND combo)
{
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

