#pragma once
// The one chorus unit every voice sends to: the mono input read back from a delay line by
// three taps whose delays swing slowly (sine LFOs a third of a cycle apart), spread over the
// two sides. All memory is taken when it is made, for the highest rate it may run at.

#include <vector>

class CChorus {
public:
    explicit CChorus(double maxSampleRate);
    void SetSampleRate(double rate); // allocates nothing
    void Clear();
    // Adds the chorus of the mono input to left and right.
    void Process(const float* input, float* left, float* right, int frames);

private:
    static constexpr int kTaps = 3;

    float Tap(float delay) const;

    std::vector<float> m_line;
    int m_length = 1; // the part of the line in use at this rate
    int m_write = 0;
    double m_rate = 44100.0;
    float m_phase = 0.0f; // of the first tap's LFO, 0..1
    float m_phaseStep = 0.0f;
    float m_baseDelay = 0.0f, m_depth = 0.0f; // in samples
    int m_silentFrames = 0;
};
