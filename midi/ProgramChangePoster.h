#pragma once
// Hands program changes from the MIDI input thread to a window: one fixed-size posted message
// while a program waits in the mailbox, never more; see CProgramChangeMailbox.

#include "midi/ProgramChangeMailbox.h"

#include <windows.h>

#include <atomic>

// Posted to the window with no parameters: collect the latest program.
constexpr UINT kProgramChangeMessage = WM_APP + 0x15;

class CProgramChangePoster {
public:
    // The window told of program changes; null (the default) tells none.
    void Attach(HWND window) { m_window.store(window, std::memory_order_release); }

    // Input thread: whether `event` is a program change, and so consumed here.
    bool Offer(MidiInputEvent event) noexcept;
    // User-interface thread, on kProgramChangeMessage: as CProgramChangeMailbox::Collect.
    int Collect() noexcept { return m_mailbox.Collect(); }

private:
    CProgramChangeMailbox m_mailbox;
    std::atomic<HWND> m_window{nullptr};
};
