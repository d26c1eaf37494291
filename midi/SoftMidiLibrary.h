#pragma once
// The software card's library, TWSYNTH.DLL, loaded from the program's own folder by its full
// path (never searched for), and its MIDI outputs offered beside winmm's for as long as this
// object lives. Without the library the outputs are winmm's alone.

#include <windows.h>

#include <string>

class CSoftMidiLibrary {
public:
    CSoftMidiLibrary();
    ~CSoftMidiLibrary();
    CSoftMidiLibrary(const CSoftMidiLibrary&) = delete;
    CSoftMidiLibrary& operator=(const CSoftMidiLibrary&) = delete;

    bool IsLoaded() const { return m_installed; }
    // Why it is not loaded ("" when it is): the path and the system's error number.
    const std::string& Failure() const { return m_failure; }

private:
    HMODULE m_library = nullptr;
    bool m_installed = false;
    std::string m_failure;
};
