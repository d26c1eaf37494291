#include "midi/ProgramChangeMailbox.h"

bool CProgramChangeMailbox::Deposit(MidiInputEvent event, bool& notify) noexcept
{
    notify = false;
    if ((event.status & 0xF0) != kProgramChange)
        return false;
    const std::uint32_t program = event.data1 & 0x7Fu;
    notify = m_waiting.exchange(program, std::memory_order_acq_rel) == kNone;
    return true;
}

int CProgramChangeMailbox::Collect() noexcept
{
    const std::uint32_t program = m_waiting.exchange(kNone, std::memory_order_acq_rel);
    return program == kNone ? -1 : static_cast<int>(program);
}
