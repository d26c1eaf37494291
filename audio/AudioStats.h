#pragma once
// Figures of a running output, written by the audio thread and read by anyone: buffers
// queued, buffers that came too late (the device had run dry), and the time from asking the
// callback for a buffer to the buffer being queued.
#include <atomic>
#include <chrono>
#include <cstdint>

struct AudioStatsSnapshot {
  uint64_t buffers = 0;
  uint64_t lateBuffers = 0;
  uint64_t frames = 0;
  double fillToQueueMeanUs = 0.0;
  double fillToQueueMaxUs = 0.0;
};

class AudioStats {
 public:
  void RecordBuffer(size_t frames, std::chrono::nanoseconds fillToQueue);
  void RecordLate() { late_.fetch_add(1, std::memory_order_relaxed); }
  AudioStatsSnapshot Snapshot() const;

 private:
  std::atomic<uint64_t> buffers_{0};
  std::atomic<uint64_t> late_{0};
  std::atomic<uint64_t> frames_{0};
  std::atomic<uint64_t> fillNsTotal_{0};
  std::atomic<uint64_t> fillNsMax_{0};
};
