#pragma once
// The MIDI input of the main window: passes every received short message on to its owner.

#include "midi/MidiInPort.h"
#include "midi/PreviewInputReceiver.h"

#include <atomic>

class CMidiThruPort : public CMidiInPort {
public:
    CMidiThruPort() = default;
    ~CMidiThruPort() override;

    // The receiver of the events (not owned); events are dropped while there is none.
    void SetOwner(IPreviewInputReceiver* owner);

    // Passes status and data bytes on; the time stamp is not.
    void OnMidiMessage(MidiInputEvent event) override;

private:
    std::atomic<IPreviewInputReceiver*> m_owner{nullptr};
};
