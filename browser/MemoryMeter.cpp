#include "browser/MemoryMeter.h"

#include "base/WideText.h"
#include "browser/MemoryReading.h"
#include "browser/SampleMemoryFit.h"

#include <commctrl.h>

void CMemoryMeter::Attach(HWND bar, HWND text)
{
    m_bar = bar;
    m_text = text;
}

void CMemoryMeter::Update(CCardOperations& card, int device)
{
    bool shown = device != -1;
    Enable(shown);
    if (!shown) {
        Show(0, "");
        return;
    }
    Show(card.Meter(device));
}

void CMemoryMeter::UpdateForFile(CCardOperations& card, int device, const std::string& path)
{
    MeterFigures figures = card.MeterForFile(device, path);
    // Without a device the meter still says what a file of known size needs.
    bool shown = device != -1 || figures.needKnown;
    Enable(shown);
    if (!shown) {
        Show(0, "");
        return;
    }
    Show(figures);
}

void CMemoryMeter::Enable(bool enabled)
{
    EnableWindow(m_bar, enabled);
    EnableWindow(m_text, enabled);
}

// The line says what a file needs when its size could be read.
void CMemoryMeter::Show(const MeterFigures& figures)
{
    MemoryReading reading =
        ReadMemory(static_cast<std::int32_t>(figures.totalBytes), static_cast<std::int32_t>(figures.freeBytes));
    if (figures.needKnown)
        Show(reading.position, MeterTextWithNeed(reading.text, figures.freeBytes, figures.neededBytes));
    else
        Show(reading.position, reading.text);
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
