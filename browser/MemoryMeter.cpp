#include "browser/MemoryMeter.h"

#include "browser/MemoryReading.h"

#include <commctrl.h>

void CMemoryMeter::Attach(HWND bar, HWND text)
{
    m_bar = bar;
    m_text = text;
}

void CMemoryMeter::Update(CSoundFontManager& manager, int device)
{
    bool shown = device != -1;
    EnableWindow(m_bar, shown);
    EnableWindow(m_text, shown);
    if (!shown) {
        Show(0, "");
        return;
    }
    SendMessageA(m_bar, PBM_SETRANGE32, 0, 1000);
    std::uint32_t total = 0;
    std::uint32_t free = 0;
    bool read = manager.OpenDevice(device) == 0 && manager.GetMemoryStatus(total, free) == 0;
    manager.CloseDevice();
    if (!read)
        total = free = 0;
    MemoryReading reading = ReadMemory(static_cast<std::int32_t>(total), static_cast<std::int32_t>(free));
    Show(reading.position, reading.text.c_str());
}

void CMemoryMeter::Show(int position, const char* text)
{
    SendMessageA(m_bar, PBM_SETPOS, position, 0);
    SetWindowTextA(m_text, text);
    // The bar draws no text; it holds the line's text as its name for screen readers, which
    // don't all take a bar's name from the label before it.
    SetWindowTextA(m_bar, text);
}
