#pragma once
// The sound memory meter: a bar for the used share of one device's sound memory and a line
// for the free amount, read afresh from the engine on every update.

#include "card/CardOperations.h"

#include <windows.h>

#include <cstdint>
#include <string>

class CMemoryMeter {
public:
    void Attach(HWND bar, HWND text);
    // Shows `device`, or the empty, disabled state for -1. A device that can't be opened or
    // can't report its memory shows the empty amount ("0 MB Free").
    void Update(CCardOperations& card, int device);
    // Shows `device` as Update does, and what the SoundFont file at `path` would need of it,
    // when its sample size can be read: "26.5 MB Free · needs 6.0 MB", "...: too large".
    void UpdateForFile(CCardOperations& card, int device, const std::string& path);

private:
    void Enable(bool enabled);
    void Show(const MeterFigures& figures);
    void Show(int position, const std::string& text);

    HWND m_bar = nullptr;
    HWND m_text = nullptr;
};
