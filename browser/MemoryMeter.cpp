#include "browser/MemoryMeter.h"

#include "base/WideText.h"
#include "browser/LoadFit.h"
#include "browser/MemoryReading.h"
#include "browser/SampleMemoryFit.h"

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
    std::uint32_t total = 0;
    std::uint32_t free = 0;
    ReadDevice(manager, device, total, free);
    MemoryReading reading = ReadMemory(static_cast<std::int32_t>(total), static_cast<std::int32_t>(free));
    Show(reading.position, reading.text);
}

void CMemoryMeter::UpdateForFile(CSoundFontManager& manager, int device, const std::string& path)
{
    std::uint64_t needed = 0;
    if (!SampleBytesOf(path, needed)) {
        Update(manager, device);
        return;
    }
    EnableWindow(m_bar, TRUE);
    EnableWindow(m_text, TRUE);
    std::uint32_t total = 0;
    std::uint32_t free = 0;
    ReadDevice(manager, device, total, free);
    MemoryReading reading = ReadMemory(static_cast<std::int32_t>(total), static_cast<std::int32_t>(free));
    Show(reading.position, MeterTextWithNeed(reading.text, free, needed));
}

void CMemoryMeter::ReadDevice(CSoundFontManager& manager, int device, std::uint32_t& total, std::uint32_t& free)
{
    bool read = manager.OpenDevice(device) == 0 && manager.GetMemoryStatus(total, free) == 0;
    manager.CloseDevice();
    if (!read)
        total = free = 0;
}

void CMemoryMeter::Show(int position, const std::string& text)
{
    SendMessageA(m_bar, PBM_SETRANGE32, 0, 1000);
    SendMessageA(m_bar, PBM_SETPOS, position, 0);
    // The text is UTF-8 (the meter's separator is beyond ASCII) and is set as wide text.
    const std::wstring wide = WidenUtf8(text);
    SetWindowTextW(m_text, wide.c_str());
    // The bar draws no text; it holds the line's text as its name for screen readers, which
    // don't all take a bar's name from the label before it.
    SetWindowTextW(m_bar, wide.c_str());
}
