#pragma once
// What the MIDI thru port hands its input to: the main window, which passes notes on to the
// preview output. An interface, so that the MIDI ports do not depend on the window.

#include "midi/MidiMessage.h"

class IPreviewInputReceiver {
public:
    // Called on the platform's MIDI input thread, inside midiInputLock, once per received
    // short message. Must return quickly: no allocation, no waiting, no user interface.
    virtual void ForwardPreviewInput(MidiInputEvent event) = 0;

protected:
    ~IPreviewInputReceiver() = default;
};
