#pragma once
// Turns times in ticks into seconds, following tempo changes: ticks per quarter note at the
// tempo in force (120 beats a minute until the first change), or a fixed number of ticks per
// second for a file timed in SMPTE frames, where tempo changes do not apply.

#include <cstdint>

class TickClock {
public:
    static TickClock PerQuarterNote(std::uint32_t ticksPerQuarter);
    static TickClock PerSecond(double ticksPerSecond);

    // From `tick` on (no earlier than the last change) a quarter note lasts this long.
    void ChangeTempo(std::uint64_t tick, std::uint32_t microsecondsPerQuarter);
    // For ticks no earlier than the last tempo change.
    double Seconds(std::uint64_t tick) const;

private:
    static constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500000;

    TickClock(bool followsTempo, double secondsPerTick)
        : m_followsTempo(followsTempo), m_secondsPerTick(secondsPerTick)
    {
    }

    bool m_followsTempo;
    std::uint32_t m_ticksPerQuarter = 0;
    double m_secondsPerTick;
    std::uint64_t m_changeTick = 0;
    double m_changeSeconds = 0;
};
