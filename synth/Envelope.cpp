#include "synth/Envelope.h"

#include "synth/SynthMath.h"

#include <algorithm>

void CEnvelope::Start(Scale scale, const Times& times)
{
    m_scale = scale;
    m_times = times;
    m_attackLevel = 0.0f;
    m_depth = 0.0f;
    Enter(Segment::Delay);
}

void CEnvelope::Enter(Segment segment)
{
    m_segment = segment;
    m_elapsed = 0.0f;
}

void CEnvelope::Release()
{
    if (Released())
        return;
    if (m_segment == Segment::Delay) {
        Enter(Segment::Finished);
        return;
    }
    if (m_segment == Segment::Attack)
        m_depth = m_scale == Scale::Centibels ? GainToCentibels(m_attackLevel) : 1.0f - m_attackLevel;
    else if (m_segment == Segment::Hold)
        m_depth = 0.0f;
    m_releaseRate = FullDepth() / std::max(m_times.release, 1.0f);
    Enter(Segment::Release);
}

void CEnvelope::ReleaseQuickly(float samples)
{
    Release();
    if (m_segment == Segment::Release)
        m_releaseRate = std::max(m_releaseRate, FullDepth() / std::max(samples, 1.0f));
}

void CEnvelope::Advance(float samples)
{
    while (samples > 0.0f) {
        switch (m_segment) {
        case Segment::Delay:
        case Segment::Attack:
        case Segment::Hold: {
            const float length = m_segment == Segment::Delay ? m_times.delay
                               : m_segment == Segment::Attack ? m_times.attack : m_times.hold;
            const float step = std::min(samples, length - m_elapsed);
            m_elapsed += std::max(step, 0.0f);
            samples -= std::max(step, 0.0f);
            if (m_segment == Segment::Attack)
                m_attackLevel = length > 0.0f ? std::min(m_elapsed / length, 1.0f) : 1.0f;
            if (m_elapsed >= length) {
                const Segment next = m_segment == Segment::Delay ? Segment::Attack
                                   : m_segment == Segment::Attack ? Segment::Hold : Segment::Decay;
                m_attackLevel = next == Segment::Attack ? 0.0f : 1.0f;
                m_depth = 0.0f;
                Enter(next);
            }
            break;
        }
        case Segment::Decay: {
            const float rate = FullDepth() / std::max(m_times.decay, 1.0f);
            const float toSustain = (m_times.sustain - m_depth) / rate;
            if (toSustain <= samples) {
                m_depth = m_times.sustain;
                samples -= std::max(toSustain, 0.0f);
                Enter(m_depth >= FullDepth() ? Segment::Finished : Segment::Sustain);
            } else {
                m_depth += rate * samples;
                samples = 0.0f;
            }
            break;
        }
        case Segment::Release:
            m_depth += m_releaseRate * samples;
            samples = 0.0f;
            if (m_depth >= FullDepth()) {
                m_depth = FullDepth();
                Enter(Segment::Finished);
            }
            break;
        case Segment::Sustain:
        case Segment::Finished:
            samples = 0.0f;
            break;
        }
    }
}

float CEnvelope::Value() const
{
    switch (m_segment) {
    case Segment::Delay: return 0.0f;
    case Segment::Attack: return m_attackLevel;
    case Segment::Hold: return 1.0f;
    case Segment::Finished: return m_scale == Scale::Centibels ? 0.0f : (m_depth >= 1.0f ? 0.0f : 1.0f - m_depth);
    default: return m_scale == Scale::Centibels ? CentibelsToGain(m_depth) : std::max(1.0f - m_depth, 0.0f);
    }
}
