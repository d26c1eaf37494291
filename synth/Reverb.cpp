#include "synth/Reverb.h"

#include <algorithm>
#include <cmath>

namespace {

// Mutually prime delays in samples at 44.1 kHz, between 25 and 37 ms for the combs.
constexpr int kCombLengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllPassLengths[] = {556, 441, 341, 225};
constexpr int kRightSpread = 23;
constexpr double kBaseRate = 44100.0;

constexpr float kFeedback = 0.84f;   // room size: a decay of about 1.5 s
constexpr float kDamping = 0.25f;    // how much each pass through a comb loses its highs
constexpr float kAllPassGain = 0.5f;
constexpr float kInputGain = 0.015f; // eight combs add up: keep the sum near the input's level
constexpr float kWet = 3.0f;

int Scaled(int length, double rate)
{
    return std::max(1, static_cast<int>(std::lround(length * rate / kBaseRate)));
}

} // namespace

CReverb::CReverb(double maxSampleRate)
{
    std::size_t total = 0;
    for (int side = 0; side < 2; ++side) {
        for (int length : kCombLengths)
            total += static_cast<std::size_t>(Scaled(length + side * kRightSpread, maxSampleRate));
        for (int length : kAllPassLengths)
            total += static_cast<std::size_t>(Scaled(length + side * kRightSpread, maxSampleRate));
    }
    m_memory.assign(total, 0.0f);
    float* next = m_memory.data();
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < kCombs; ++i) {
            Delay& comb = m_sides[side].combs[i];
            comb.buffer = next;
            comb.capacity = Scaled(kCombLengths[i] + side * kRightSpread, maxSampleRate);
            next += comb.capacity;
        }
        for (int i = 0; i < kAllPasses; ++i) {
            Delay& allPass = m_sides[side].allPasses[i];
            allPass.buffer = next;
            allPass.capacity = Scaled(kAllPassLengths[i] + side * kRightSpread, maxSampleRate);
            next += allPass.capacity;
        }
    }
    SetSampleRate(kBaseRate);
}

void CReverb::SetSampleRate(double rate)
{
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < kCombs; ++i) {
            Delay& comb = m_sides[side].combs[i];
            comb.length = std::min(comb.capacity, Scaled(kCombLengths[i] + side * kRightSpread, rate));
        }
        for (int i = 0; i < kAllPasses; ++i) {
            Delay& allPass = m_sides[side].allPasses[i];
            allPass.length = std::min(allPass.capacity, Scaled(kAllPassLengths[i] + side * kRightSpread, rate));
        }
    }
    // Until the feedback has fallen by 120 dB: log(1e-6) / log(feedback) passes of the longest comb.
    m_tailFrames = static_cast<int>(std::log(1e-6) / std::log(kFeedback) * Scaled(kCombLengths[kCombs - 1], rate));
    Clear();
}

void CReverb::Clear()
{
    std::fill(m_memory.begin(), m_memory.end(), 0.0f);
    for (Side& side : m_sides) {
        for (Delay& comb : side.combs) {
            comb.position = 0;
            comb.damped = 0.0f;
        }
        for (Delay& allPass : side.allPasses)
            allPass.position = 0;
    }
    m_silentFrames = m_tailFrames;
}

float CReverb::ProcessSide(Side& side, float input)
{
    float sum = 0.0f;
    for (Delay& comb : side.combs) {
        const float out = comb.buffer[comb.position];
        comb.damped = out * (1.0f - kDamping) + comb.damped * kDamping;
        comb.buffer[comb.position] = input + comb.damped * kFeedback;
        if (++comb.position >= comb.length)
            comb.position = 0;
        sum += out;
    }
    for (Delay& allPass : side.allPasses) {
        const float delayed = allPass.buffer[allPass.position];
        allPass.buffer[allPass.position] = sum + delayed * kAllPassGain;
        if (++allPass.position >= allPass.length)
            allPass.position = 0;
        sum = delayed - sum;
    }
    return sum;
}

void CReverb::Process(const float* input, float* left, float* right, int frames)
{
    const bool silentInput = std::all_of(input, input + frames, [](float x) { return x == 0.0f; });
    if (silentInput) {
        if (m_silentFrames >= m_tailFrames)
            return; // the tail has died away: nothing to add
        m_silentFrames += frames;
    } else {
        m_silentFrames = 0;
    }
    for (int i = 0; i < frames; ++i) {
        const float in = input[i] * kInputGain;
        left[i] += ProcessSide(m_sides[0], in) * kWet;
        right[i] += ProcessSide(m_sides[1], in) * kWet;
    }
    // Denormals in a dying tail would cost far more than the reverb itself.
    for (Side& side : m_sides) {
        for (Delay& comb : side.combs) {
            if (std::fabs(comb.damped) < 1e-20f)
                comb.damped = 0.0f;
        }
    }
}
