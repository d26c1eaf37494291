#pragma once
// The sound memory meter: a bar for the used share of one device's sound memory and a line
// for the free amount, read afresh from the engine on every update.

#include "engine/SoundFontManager.h"

#include <windows.h>

class CMemoryMeter {
public:
    void Attach(HWND bar, HWND text);
    // Shows `device`, or the empty, disabled state for -1. A device that can't be opened or
    // can't report its memory shows the empty amount ("0 MB Free").
    void Update(CSoundFontManager& manager, int device);

private:
    void Show(int position, const char* text);

    HWND m_bar = nullptr;
    HWND m_text = nullptr;
};
