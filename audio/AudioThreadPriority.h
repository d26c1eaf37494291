#pragma once
// Raises the calling audio thread for as long as the object lives: the multimedia class
// scheduler's "Pro Audio" task where Windows has one (Vista and later, bound at run time),
// else a high thread priority.
#include "audio/SystemLibrary.h"

class CAudioThreadPriority {
public:
    CAudioThreadPriority();
    ~CAudioThreadPriority();
    CAudioThreadPriority(const CAudioThreadPriority&) = delete;
    CAudioThreadPriority& operator=(const CAudioThreadPriority&) = delete;

private:
    CSystemLibrary m_avrt;
    HANDLE m_task = nullptr;
    int m_oldPriority;
};
