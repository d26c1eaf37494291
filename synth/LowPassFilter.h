#pragma once
// The voice's resonant two-pole low-pass filter (a biquad), its coefficients set once a block.

#include "synth/SynthMath.h"

#include <cmath>

class CLowPassFilter {
public:
    void Reset() { m_x1 = m_x2 = m_y1 = m_y2 = 0.0f; }

    // cutoffHz at any value (held to a range the filter is stable in); resonance in centibels
    // above the flat response, as the SoundFont's filter Q.
    void Set(float cutoffHz, float resonanceCb, float sampleRate)
    {
        const float cutoff = Clamp(cutoffHz, 5.0f, 0.45f * sampleRate);
        // 0 cB is the flattest response (Q of 1/sqrt 2); the peak rises with the resonance,
        // and the gain falls by its square root so that resonant notes are not louder overall.
        const float q = std::pow(10.0f, (resonanceCb / 10.0f - 3.01f) / 20.0f);
        const float w = 2.0f * kPi * cutoff / sampleRate;
        const float cosine = std::cos(w);
        const float alpha = std::sin(w) / (2.0f * q);
        const float norm = 1.0f / (1.0f + alpha);
        const float gain = 1.0f / std::sqrt(q);
        m_b1 = (1.0f - cosine) * norm * gain;
        m_b0 = 0.5f * m_b1;
        m_a1 = -2.0f * cosine * norm;
        m_a2 = (1.0f - alpha) * norm;
    }

    // Filters count samples and hands each output to sink(index, value), so that the caller
    // mixes it in the same pass.
    template <typename Sink>
    void Run(const float* samples, int count, Sink sink)
    {
        float x1 = m_x1, x2 = m_x2, y1 = m_y1, y2 = m_y2;
        const float b0 = m_b0, b1 = m_b1, a1 = m_a1, a2 = m_a2;
        for (int i = 0; i < count; ++i) {
            const float x = samples[i];
            const float y = b0 * (x + x2) + b1 * x1 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            sink(i, y);
        }
        // Denormals would slow a silent tail down by orders of magnitude.
        m_x1 = x1;
        m_x2 = x2;
        m_y1 = std::fabs(y1) < 1e-20f ? 0.0f : y1;
        m_y2 = std::fabs(y2) < 1e-20f ? 0.0f : y2;
    }

private:
    float m_b0 = 1.0f, m_b1 = 0.0f, m_a1 = 0.0f, m_a2 = 0.0f;
    float m_x1 = 0.0f, m_x2 = 0.0f, m_y1 = 0.0f, m_y2 = 0.0f;
};
