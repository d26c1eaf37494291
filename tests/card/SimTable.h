#pragma once
// The simulated card reached natively: its operation table in a wrapper of its own, and its
// switches, with the card set back to two empty devices for each test.

#include "engine/SoundFontEngine.h"
#include "sim/SimOperations.h"

#include <gtest/gtest.h>

class SimTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sim().Reset();
        m_engine.AddLibrary(SimOperations());
    }
    void TearDown() override
    {
        EXPECT_EQ(Sim().OpenCount(0), 0u) << "every device opened was closed";
        EXPECT_EQ(Sim().OpenCount(1), 0u) << "every device opened was closed";
        Sim().Reset();
    }

    static const SimControlTable& Sim() { return SimControls(); }
    static std::uint32_t Calls(int slot) { return Sim().CallCount(slot); }

    CSoundFontEngine m_engine;
};
