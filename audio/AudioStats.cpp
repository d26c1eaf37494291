#include "audio/AudioStats.h"

void AudioStats::RecordBuffer(size_t frames, std::chrono::nanoseconds fillToQueue) {
  uint64_t ns = fillToQueue.count() > 0 ? static_cast<uint64_t>(fillToQueue.count()) : 0;
  buffers_.fetch_add(1, std::memory_order_relaxed);
  frames_.fetch_add(frames, std::memory_order_relaxed);
  fillNsTotal_.fetch_add(ns, std::memory_order_relaxed);
  // Only the audio thread writes: a plain compare is enough.
  if (ns > fillNsMax_.load(std::memory_order_relaxed)) fillNsMax_.store(ns, std::memory_order_relaxed);
}

AudioStatsSnapshot AudioStats::Snapshot() const {
  AudioStatsSnapshot snapshot;
  snapshot.buffers = buffers_.load(std::memory_order_relaxed);
  snapshot.lateBuffers = late_.load(std::memory_order_relaxed);
  snapshot.frames = frames_.load(std::memory_order_relaxed);
  if (snapshot.buffers > 0) {
    snapshot.fillToQueueMeanUs =
        fillNsTotal_.load(std::memory_order_relaxed) / 1000.0 / static_cast<double>(snapshot.buffers);
  }
  snapshot.fillToQueueMaxUs = fillNsMax_.load(std::memory_order_relaxed) / 1000.0;
  return snapshot;
}
