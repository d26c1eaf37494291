#pragma once
// When a sound first reaches the audio API, for measuring latency inside the program: armed
// from any thread (just before a note is sent), it finds the first sample of the rendered
// output that 16-bit sound would not render as silence, and keeps the time at which the buffer
// holding it was handed to the API. Unarmed, the render thread pays one atomic load a block.
// Allocates nothing and never waits.
#include <atomic>
#include <cstddef>
#include <cstdint>

class CFirstSoundWatch {
public:
    // Any thread: forget the last sound found and look for the next one.
    void Arm();
    // Render thread: interleaved stereo just rendered, before conversion.
    void Scan(const float* stereo, size_t frames);
    // Render thread: every block scanned since the last call is now with the API.
    void Handed();
    // The steady clock's time since its epoch, in nanoseconds, at which the buffer holding the
    // sound was handed to the API; 0 until then.
    int64_t HandedAtNs() const { return m_handedAtNs.load(std::memory_order_acquire); }

private:
    enum State { kIdle, kArmed, kFound };
    std::atomic<int> m_state {kIdle};
    std::atomic<int64_t> m_handedAtNs {0};
};
