#pragma once
// Tells the user, once a run, that the software card can't be heard (no audio device, say),
// with the card's own reason. Asked when previewing starts, where hearing nothing would
// otherwise go unexplained; everything else goes on working.

#include <windows.h>

class CSoftCardSilence {
public:
    // Shows the message over `window` the first time the card reports a failure; true then.
    bool TellOnce(HWND window);

private:
    bool m_told = false;
};

// The message, with "%s" for the card's reason.
constexpr const char* kSoftCardSilentFormat = "The software synth can't be heard (%s).";
