#include "audio/AudioThreadPriority.h"

#include <avrt.h>

AudioThreadPriority::AudioThreadPriority()
    : avrt_(L"avrt.dll"), oldPriority_(GetThreadPriority(GetCurrentThread())) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  auto join = avrt_.Find<decltype(&AvSetMmThreadCharacteristicsW)>("AvSetMmThreadCharacteristicsW");
  DWORD taskIndex = 0;
  if (join) task_ = join(L"Pro Audio", &taskIndex);
}

AudioThreadPriority::~AudioThreadPriority() {
  auto leave = avrt_.Find<decltype(&AvRevertMmThreadCharacteristics)>("AvRevertMmThreadCharacteristics");
  if (task_ && leave) leave(task_);
  SetThreadPriority(GetCurrentThread(), oldPriority_);
}
