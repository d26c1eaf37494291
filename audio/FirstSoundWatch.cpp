#include "audio/FirstSoundWatch.h"

#include <chrono>
#include <cmath>

namespace {

// Half a step of 16-bit sound: anything quieter is written as zero.
constexpr float kSilence = 0.5f / 32768.0f;

} // namespace

void CFirstSoundWatch::Arm()
{
    m_handedAtNs.store(0, std::memory_order_release);
    m_state.store(kArmed, std::memory_order_release);
}

void CFirstSoundWatch::Scan(const float* stereo, size_t frames)
{
    if (m_state.load(std::memory_order_acquire) != kArmed)
        return;
    for (size_t i = 0; i < 2 * frames; ++i) {
        if (std::fabs(stereo[i]) > kSilence) {
            int armed = kArmed;
            m_state.compare_exchange_strong(armed, kFound, std::memory_order_acq_rel);
            return;
        }
    }
}

void CFirstSoundWatch::Handed()
{
    if (m_state.load(std::memory_order_acquire) != kFound)
        return;
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    m_handedAtNs.store(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count(), std::memory_order_release);
    int found = kFound;
    m_state.compare_exchange_strong(found, kIdle, std::memory_order_acq_rel);
}
