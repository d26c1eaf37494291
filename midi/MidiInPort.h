#pragma once
// One MIDI input device of the platform: chosen by id, opened with the callback MidiInProc,
// started and stopped. Every short message received while started reaches OnMidiMessage on
// the platform's callback thread, inside midiInputLock.
//
// The port's own calls (open, start, stop, close) take no lock, so a platform that delivers
// pending callbacks inside its stop or close, on the calling thread or by waiting for its
// own thread, cannot deadlock against them.

#include "midi/MidiMessage.h"
#include "midi/MidiPortBase.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>

class CMidiInPort : public CMidiPortBase {
public:
    CMidiInPort() : CMidiPortBase(MidiDirection::Input) {}
    // Stops started input, then closes an open device; results ignored.
    virtual ~CMidiInPort();

    // Receives one short message on the platform's callback thread, inside midiInputLock.
    // Must copy what it needs and return at once: no allocation, no waiting, no user
    // interface. Does nothing here.
    virtual void OnMidiMessage(MidiInputEvent event);

    // 2 for an id below 0 or not below the current device count.
    int SelectDevice(std::int32_t id);

    // Closes an open device first (a failure is returned at once), then selects the id and
    // opens it: an input port that was open is closed even when the new id is refused.
    int OpenPort(std::int32_t id);
    // 0 when not open. 100 on a platform failure, and the port stays open.
    int ClosePort();
    // 0 when already started. Does not check that the port is open: the platform refuses
    // the missing handle and 100 is returned.
    int StartInput();
    // 0 when not started. 100 on a platform failure, and input stays started.
    int StopInput();

    bool IsOpen() const { return m_open; }
    bool IsStarted() const { return m_started; }

protected:
    // Stop, then close; for destructors, so that a derived port is silent before its own
    // part is gone.
    void Shutdown();

private:
    HMIDIIN m_handle = nullptr;
    // Whose OnMidiMessage receives the events; its address is the callback's instance value.
    CMidiInPort* m_listener = this;
    bool m_open = false;
    bool m_started = false;
};

// The platform's input callback. Holds midiInputLock for the whole call (released also when
// the handler throws); hands MIM_DATA on to the listener and ignores every other message.
void CALLBACK MidiInProc(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                         DWORD_PTR param2);
