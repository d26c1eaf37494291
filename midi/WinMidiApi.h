#pragma once
// The winmm MIDI functions the ports call, gathered in one table. By default it holds the
// real winmm functions; tests install a virtual MIDI system of their own in their place. The
// slots have winmm's own signatures, so the real functions fill them without casts and a
// replacement that does not match fails to compile. Each slot is described once, by its name,
// the winmm function that fills it and its signature: the table and the real functions both
// come from that list, so two functions of the same signature can't trade places.

#include <windows.h>

#include <mmsystem.h>

// slot, winmm function, result, parameters.
#define WINMM_MIDI_FUNCTIONS(FN)                                                                     \
    FN(outGetNumDevs, midiOutGetNumDevs, UINT, ())                                                   \
    FN(outGetDevCaps, midiOutGetDevCapsA, MMRESULT, (UINT_PTR id, LPMIDIOUTCAPSA caps, UINT capsSize)) \
    FN(outOpen, midiOutOpen, MMRESULT,                                                               \
       (LPHMIDIOUT handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags))            \
    FN(outClose, midiOutClose, MMRESULT, (HMIDIOUT handle))                                          \
    FN(outShortMsg, midiOutShortMsg, MMRESULT, (HMIDIOUT handle, DWORD message))                     \
    FN(inGetNumDevs, midiInGetNumDevs, UINT, ())                                                     \
    FN(inGetDevCaps, midiInGetDevCapsA, MMRESULT, (UINT_PTR id, LPMIDIINCAPSA caps, UINT capsSize))  \
    FN(inOpen, midiInOpen, MMRESULT,                                                                 \
       (LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags))             \
    FN(inClose, midiInClose, MMRESULT, (HMIDIIN handle))                                             \
    FN(inStart, midiInStart, MMRESULT, (HMIDIIN handle))                                             \
    FN(inStop, midiInStop, MMRESULT, (HMIDIIN handle))

struct WinMidiApi {
#define WINMM_DECLARE_SLOT(slot, function, result, parameters) result(WINAPI* slot) parameters;
    WINMM_MIDI_FUNCTIONS(WINMM_DECLARE_SLOT)
#undef WINMM_DECLARE_SLOT
};

// The real winmm.
const WinMidiApi& RealWinMidiApi();

// The table the ports call now.
const WinMidiApi& MidiApi();

// Installs a replacement (which must outlive its use); null restores the real winmm. Install
// it while no port is open: a handle belongs to the table that opened it.
void SetMidiApi(const WinMidiApi* api);
