#include "midi/MidiInputLock.h"

CCriticalSection midiInputLock;

bool CCriticalSection::IsHeldByCurrentThread() const
{
    // The owner is recorded as a thread id in the handle-sized field.
    return m_section.OwningThread ==
           reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
}
