#pragma once
// A SoundFont LFO: silent for its delay, then a triangle from 0 rising to +1, down to -1 and
// back, advanced a block at a time.

class CLfo {
public:
    void Start(float delaySamples, float cyclesPerSample)
    {
        m_delay = delaySamples;
        m_step = cyclesPerSample;
        m_phase = 0.0f;
    }
    void SetRate(float cyclesPerSample) { m_step = cyclesPerSample; }

    // -1 to 1.
    float Value() const
    {
        if (m_delay > 0.0f)
            return 0.0f;
        if (m_phase < 0.25f)
            return 4.0f * m_phase;
        if (m_phase < 0.75f)
            return 2.0f - 4.0f * m_phase;
        return 4.0f * m_phase - 4.0f;
    }

    void Advance(float samples)
    {
        if (m_delay > 0.0f) {
            m_delay -= samples;
            if (m_delay > 0.0f)
                return;
            samples = -m_delay;
        }
        m_phase += m_step * samples;
        m_phase -= static_cast<float>(static_cast<int>(m_phase));
    }

private:
    float m_delay = 0.0f;
    float m_step = 0.0f;
    float m_phase = 0.0f;
};
