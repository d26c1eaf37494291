#include "synth/Chorus.h"

#include "synth/SynthMath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBaseDelaySeconds = 0.012;
constexpr double kDepthSeconds = 0.004;
constexpr double kLongestSeconds = 0.025;
constexpr double kLfoHz = 0.4;
constexpr float kLevel = 1.2f;
// Each tap's share of the left and right sides.
constexpr float kTapLeft[] = {1.0f, 0.2f, 0.6f};
constexpr float kTapRight[] = {0.2f, 1.0f, 0.6f};

} // namespace

CChorus::CChorus(double maxSampleRate)
{
    m_line.assign(static_cast<std::size_t>(std::ceil(kLongestSeconds * maxSampleRate)) + 4, 0.0f);
    SetSampleRate(44100.0 < maxSampleRate ? 44100.0 : maxSampleRate);
}

void CChorus::SetSampleRate(double rate)
{
    m_rate = rate;
    m_length = std::min(static_cast<int>(m_line.size()), static_cast<int>(std::ceil(kLongestSeconds * rate)) + 4);
    m_baseDelay = static_cast<float>(kBaseDelaySeconds * rate);
    m_depth = static_cast<float>(kDepthSeconds * rate);
    m_phaseStep = static_cast<float>(kLfoHz / rate);
    Clear();
}

void CChorus::Clear()
{
    std::fill(m_line.begin(), m_line.end(), 0.0f);
    m_write = 0;
    m_silentFrames = m_length;
}

// The line read `delay` samples behind the last write, interpolated linearly.
float CChorus::Tap(float delay) const
{
    float position = static_cast<float>(m_write) - delay;
    if (position < 0.0f)
        position += static_cast<float>(m_length);
    const int index = static_cast<int>(position);
    const float fraction = position - static_cast<float>(index);
    const int next = index + 1 >= m_length ? 0 : index + 1;
    return m_line[static_cast<std::size_t>(index)] * (1.0f - fraction) + m_line[static_cast<std::size_t>(next)] * fraction;
}

void CChorus::Process(const float* input, float* left, float* right, int frames)
{
    const bool silentInput = std::all_of(input, input + frames, [](float x) { return x == 0.0f; });
    if (silentInput) {
        if (m_silentFrames >= m_length)
            return;
        m_silentFrames += frames;
    } else {
        m_silentFrames = 0;
    }
    for (int i = 0; i < frames; ++i) {
        m_line[static_cast<std::size_t>(m_write)] = input[i];
        float outLeft = 0.0f, outRight = 0.0f;
        for (int tap = 0; tap < kTaps; ++tap) {
            const float phase = m_phase + static_cast<float>(tap) / kTaps;
            const float value = Tap(m_baseDelay + m_depth * std::sin(2.0f * kPi * phase));
            outLeft += value * kTapLeft[tap];
            outRight += value * kTapRight[tap];
        }
        left[i] += outLeft * kLevel / kTaps;
        right[i] += outRight * kLevel / kTaps;
        if (++m_write >= m_length)
            m_write = 0;
        m_phase += m_phaseStep;
        if (m_phase >= 1.0f)
            m_phase -= 1.0f;
    }
}
