#pragma once
// midiInputLock: the one process-wide lock that every MIDI input callback holds while it runs,
// so that the input handlers of all ports run one at a time.

#include <windows.h>

// A critical section that std::lock_guard and std::unique_lock can hold. Recursive, as
// critical sections are.
class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_section); }
    ~CCriticalSection() { DeleteCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void lock() { EnterCriticalSection(&m_section); }
    void unlock() { LeaveCriticalSection(&m_section); }
    bool try_lock() { return TryEnterCriticalSection(&m_section) != FALSE; }

    // For assertions: whether the calling thread holds the section now.
    bool IsHeldByCurrentThread() const;

private:
    CRITICAL_SECTION m_section;
};

// Created at static initialisation, before any start-up code runs; deleted at process exit.
extern CCriticalSection midiInputLock;
