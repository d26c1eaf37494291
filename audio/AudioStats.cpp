#include "audio/AudioStats.h"

void CAudioStats::RecordBuffer(size_t frames, std::chrono::nanoseconds fillToQueue)
{
    uint64_t ns = fillToQueue.count() > 0 ? static_cast<uint64_t>(fillToQueue.count()) : 0;
    m_buffers.fetch_add(1, std::memory_order_relaxed);
    m_frames.fetch_add(frames, std::memory_order_relaxed);
    m_fillNsTotal.fetch_add(ns, std::memory_order_relaxed);
    // Only the audio thread writes: a plain compare is enough.
    if (ns > m_fillNsMax.load(std::memory_order_relaxed))
        m_fillNsMax.store(ns, std::memory_order_relaxed);
    m_firstSound.Handed();
}

AudioStatsSnapshot CAudioStats::Snapshot() const
{
    AudioStatsSnapshot snapshot;
    snapshot.buffers = m_buffers.load(std::memory_order_relaxed);
    snapshot.lateBuffers = m_late.load(std::memory_order_relaxed);
    snapshot.frames = m_frames.load(std::memory_order_relaxed);
    if (snapshot.buffers > 0) {
        snapshot.fillToQueueMeanUs =
            m_fillNsTotal.load(std::memory_order_relaxed) / 1000.0 / static_cast<double>(snapshot.buffers);
    }
    snapshot.fillToQueueMaxUs = m_fillNsMax.load(std::memory_order_relaxed) / 1000.0;
    return snapshot;
}
