#pragma once
// One MIDI output device of the platform: chosen by id, opened without a notification
// callback, sent three-byte channel messages.
//
// Sends may come from the MIDI input thread while the user-interface thread opens and closes
// the port. The handle therefore passes through a gate: a close first takes the handle away
// from new sends and waits for the sends already under way before the platform closes it, so
// the platform never sees a handle that is being closed, and the sending thread never waits.

#include "midi/HandleGate.h"
#include "midi/MidiPortBase.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <string>

class CMidiOutPort : public CMidiPortBase {
public:
    CMidiOutPort() : CMidiPortBase(MidiDirection::Output) {}
    // Closes an open device; the result is ignored.
    virtual ~CMidiOutPort();

    // 2 when id is not below the current device count; else the id the next open uses.
    // Does not touch an open device.
    int SelectDevice(std::uint32_t id);

    // Selects the id (2: an open device stays open), closes an open device (a failure is
    // returned at once) and opens the selected one. Opening an open port always closes and
    // reopens it, even for the same id.
    int OpenPort(std::int32_t id);
    // 0 when not open. 100 on a platform failure, and the port stays open.
    int ClosePort();

    // Packs and sends one short message; returns the platform's result (not kept). On a port
    // that is not open the platform refuses the message.
    MMRESULT SendShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    // The name of the selected device.
    int GetCurrentDeviceName(std::string& name);

    bool IsOpen() const { return m_open; }

private:
    CHandleGate<HMIDIOUT> m_handle;
    bool m_open = false;
};
