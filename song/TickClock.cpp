#include "song/TickClock.h"

TickClock TickClock::PerQuarterNote(std::uint32_t ticksPerQuarter)
{
    TickClock clock(true, kDefaultMicrosecondsPerQuarter / (1e6 * ticksPerQuarter));
    clock.m_ticksPerQuarter = ticksPerQuarter;
    return clock;
}

TickClock TickClock::PerSecond(double ticksPerSecond)
{
    return TickClock(false, 1.0 / ticksPerSecond);
}

void TickClock::ChangeTempo(std::uint64_t tick, std::uint32_t microsecondsPerQuarter)
{
    if (!m_followsTempo)
        return;
    m_changeSeconds = Seconds(tick);
    m_changeTick = tick;
    m_secondsPerTick = microsecondsPerQuarter / (1e6 * m_ticksPerQuarter);
}

double TickClock::Seconds(std::uint64_t tick) const
{
    return m_changeSeconds + static_cast<double>(tick - m_changeTick) * m_secondsPerTick;
}
