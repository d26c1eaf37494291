#pragma once

#include "tests/engine/SimAccess.h"

#include <windows.h>

// Holds a load of the simulated card for the test, so that its switches stay set while the
// dialog's or page's own manager comes and goes.
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
