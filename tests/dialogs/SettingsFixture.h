#pragma once
// What the settings sheet's tests share: named MIDI devices from the virtual MIDI system,
// named SoundFont devices from the simulated card, a watcher for message boxes, and ways to
// read the page's controls.

#include "base/Controls.h"
#include "tests/dialogs/SimulatedCard.h"
#include "tests/engine/SimAccess.h"
#include "tests/support/ComboItems.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/VirtualMidi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class SettingsFixture : public ::testing::Test {
protected:
    static const std::vector<std::string> kInputs;
    static const std::vector<std::string> kOutputs;
    static const std::vector<std::string> kSoundFontDevices;

    void SetUp() override;
    // The page never reports anything.
    void TearDown() override;

    SimulatedCard card;
    VirtualMidi midi;
    MessageBoxWatcher boxes;
};

int ComboSelection(HWND combo);
