#pragma once
// Figures of a running output, written by the audio thread and read by anyone: buffers
// queued, buffers that came too late (the device had run dry), and the time from asking the
// callback for a buffer to the buffer being queued; and the watch for the first sound.
#include <atomic>
#include <chrono>
#include <cstdint>

#include "audio/FirstSoundWatch.h"

struct AudioStatsSnapshot {
    uint64_t buffers = 0;
    uint64_t lateBuffers = 0;
    uint64_t frames = 0;
    double fillToQueueMeanUs = 0.0;
    double fillToQueueMaxUs = 0.0;
};

class CAudioStats {
public:
    // A buffer was handed to the API.
    void RecordBuffer(size_t frames, std::chrono::nanoseconds fillToQueue);
    void RecordLate() { m_late.fetch_add(1, std::memory_order_relaxed); }
    AudioStatsSnapshot Snapshot() const;
    CFirstSoundWatch& FirstSound() { return m_firstSound; }

private:
    std::atomic<uint64_t> m_buffers {0};
    std::atomic<uint64_t> m_late {0};
    std::atomic<uint64_t> m_frames {0};
    std::atomic<uint64_t> m_fillNsTotal {0};
    std::atomic<uint64_t> m_fillNsMax {0};
    CFirstSoundWatch m_firstSound;
};
