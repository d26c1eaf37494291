#pragma once
// The notes the MIDI keyboard sounds on the preview output, for the piano strip to light. The
// input thread sets and clears them and tells a window with one posted message while a change
// waits to be seen, never more; the window's thread reads them. Nothing on the input side
// waits or allocates.

#include "midi/MidiMessage.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

// Posted to the attached window with no parameters: read the lit notes again.
constexpr UINT kInputNotesMessage = WM_APP + 0x16;

class CInputNoteLights {
public:
    CInputNoteLights() = default;
    CInputNoteLights(const CInputNoteLights&) = delete;
    CInputNoteLights& operator=(const CInputNoteLights&) = delete;

    // The window told of changes; null (the default) tells none.
    void Attach(HWND window) { m_window.store(window, std::memory_order_release); }

    // Input thread: a message sent on the preview output; notes light and go dark.
    void Show(const MidiShortMessage& sent) noexcept;
    // User-interface thread: every note released at once.
    void Clear() noexcept;
    // User-interface thread, on kInputNotesMessage, before reading: later changes post again.
    void Collected() noexcept { m_posted.store(false, std::memory_order_release); }
    bool IsLit(std::uint8_t note) const noexcept;

private:
    void Set(std::uint8_t note, bool lit) noexcept;
    void Notify() noexcept;

    std::atomic<std::uint32_t> m_lit[4] = {};
    std::atomic<bool> m_posted{false};
    std::atomic<HWND> m_window{nullptr};
};
