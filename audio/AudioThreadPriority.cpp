#include "audio/AudioThreadPriority.h"

#include <avrt.h>

CAudioThreadPriority::CAudioThreadPriority()
    : m_avrt(L"avrt.dll")
    , m_oldPriority(GetThreadPriority(GetCurrentThread()))
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    auto join = m_avrt.Find<decltype(&AvSetMmThreadCharacteristicsW)>("AvSetMmThreadCharacteristicsW");
    DWORD taskIndex = 0;
    if (join)
        m_task = join(L"Pro Audio", &taskIndex);
}

CAudioThreadPriority::~CAudioThreadPriority()
{
    auto leave = m_avrt.Find<decltype(&AvRevertMmThreadCharacteristics)>("AvRevertMmThreadCharacteristics");
    if (m_task && leave)
        leave(m_task);
    SetThreadPriority(GetCurrentThread(), m_oldPriority);
}
