#include "midi/ProgramChangePoster.h"

bool CProgramChangePoster::Offer(MidiInputEvent event) noexcept
{
    bool notify = false;
    if (!m_mailbox.Deposit(event, notify))
        return false;
    HWND window = m_window.load(std::memory_order_acquire);
    // A message that can't be posted (no window, a full queue) must not leave the program
    // waiting for ever: the next program change tries again.
    if (notify && (!window || !PostMessageA(window, kProgramChangeMessage, 0, 0)))
        m_mailbox.Collect();
    return true;
}
