#pragma once
// The winmm MIDI functions the ports call, gathered in one table. By default it holds the
// real winmm functions; tests install a virtual MIDI system of their own in their place. The
// slots have winmm's own signatures, so the real functions fill them without casts and a
// replacement that does not match fails to compile.

#include <windows.h>

#include <mmsystem.h>

struct WinMidiApi {
    UINT(WINAPI* outGetNumDevs)();
    MMRESULT(WINAPI* outGetDevCaps)(UINT_PTR id, LPMIDIOUTCAPSA caps, UINT capsSize);
    MMRESULT(WINAPI* outOpen)(LPHMIDIOUT handle, UINT id, DWORD_PTR callback,
                              DWORD_PTR instance, DWORD flags);
    MMRESULT(WINAPI* outClose)(HMIDIOUT handle);
    MMRESULT(WINAPI* outShortMsg)(HMIDIOUT handle, DWORD message);

    UINT(WINAPI* inGetNumDevs)();
    MMRESULT(WINAPI* inGetDevCaps)(UINT_PTR id, LPMIDIINCAPSA caps, UINT capsSize);
    MMRESULT(WINAPI* inOpen)(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                             DWORD flags);
    MMRESULT(WINAPI* inClose)(HMIDIIN handle);
    MMRESULT(WINAPI* inStart)(HMIDIIN handle);
    MMRESULT(WINAPI* inStop)(HMIDIIN handle);
};

// The real winmm.
const WinMidiApi& RealWinMidiApi();

// The table the ports call now.
const WinMidiApi& MidiApi();

// Installs a replacement (which must outlive its use); null restores the real winmm. Install
// it while no port is open: a handle belongs to the table that opened it.
void SetMidiApi(const WinMidiApi* api);
