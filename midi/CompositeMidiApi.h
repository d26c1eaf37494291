#pragma once
// The MIDI outputs the program sees: those of the table the ports call now (winmm, or a test's
// virtual MIDI system) with ids 0 to n-1, then the software card's outputs with ids n and up.
// Inputs are the underlying table's alone. The software outputs' handles are addresses of
// this module's own, so they never equal a handle the underlying table gave out.

#include "midi/SoftMidiTable.h"

// Installs the composite table over the table installed now. Install and remove while no port
// is open, as for SetMidiApi; the software table must outlive its use.
void InstallSoftMidiOutputs(const SoftMidiTable* soft);
// Puts the underlying table back.
void RemoveSoftMidiOutputs();
