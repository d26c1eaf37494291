#pragma once
// The one reverb unit every voice sends to: for each side, eight damped feedback comb filters
// in parallel and four all-pass diffusers in series (the classic Schroeder arrangement), the
// right side's delays a little longer than the left's for width. All memory is taken when it
// is made, for the highest sample rate it may run at.

#include <cstddef>
#include <vector>

class CReverb {
public:
    explicit CReverb(double maxSampleRate);
    // Sets the delays for the rate and empties them. Allocates nothing.
    void SetSampleRate(double rate);
    void Clear();
    // Adds the reverberation of the mono input to left and right.
    void Process(const float* input, float* left, float* right, int frames);

private:
    static constexpr int kCombs = 8;
    static constexpr int kAllPasses = 4;

    struct Delay {
        float* buffer = nullptr;
        int capacity = 0;
        int length = 1;
        int position = 0;
        float damped = 0.0f; // combs only: the low-passed feedback
    };
    struct Side {
        Delay combs[kCombs];
        Delay allPasses[kAllPasses];
    };

    float ProcessSide(Side& side, float input);

    std::vector<float> m_memory;
    Side m_sides[2];
    int m_silentFrames = 0;
    int m_tailFrames = 0;
};
