#pragma once
// What the settings sheet's tests share: named MIDI devices from the virtual MIDI system,
// named SoundFont devices from the simulated card, a watcher for message boxes, and ways to
// read the page's controls.

#include "app/core/Controls.h"
#include "tests/engine/SimAccess.h"
#include "tests/support/ComboItems.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/VirtualMidi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Holds a load of the simulated card for the test, so that its switches stay set while the
// page's own manager comes and goes.
class SimulatedCard {
public:
    SimulatedCard();
    ~SimulatedCard();
    SimulatedCard(const SimulatedCard&) = delete;
    SimulatedCard& operator=(const SimulatedCard&) = delete;

    const SimControlTable* Control() const { return m_control; }

private:
    HMODULE m_library;
    const SimControlTable* m_control;
};

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
