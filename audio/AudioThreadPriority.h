#pragma once
// Raises the calling audio thread for as long as the object lives: the multimedia class
// scheduler's "Pro Audio" task where Windows has one (Vista and later, bound at run time),
// else a high thread priority.
#include "audio/SystemLibrary.h"

class AudioThreadPriority {
 public:
  AudioThreadPriority();
  ~AudioThreadPriority();
  AudioThreadPriority(const AudioThreadPriority&) = delete;
  AudioThreadPriority& operator=(const AudioThreadPriority&) = delete;

 private:
  SystemLibrary avrt_;
  HANDLE task_ = nullptr;
  int oldPriority_;
};
