#pragma once
// A SoundFont envelope, advanced a block at a time: delay, attack (a linear rise), hold, decay
// to the sustain level, sustain, and release after note-off. The volume envelope decays and
// releases in decibels (96 dB over the time the file gives); the modulation envelope moves
// linearly on 0..1.

class CEnvelope {
public:
    enum class Scale { Centibels, Unit };
    struct Times {
        float delay, attack, hold, decay, release; // in samples
        float sustain;                              // centibels below peak, or 0..1 below 1
    };

    void Start(Scale scale, const Times& times);
    void Release();
    // Releases in a few milliseconds whatever the file says: a stolen note, an exclusive
    // class, a sound that left the sound set.
    void ReleaseQuickly(float samples);
    void Advance(float samples);

    // Volume: an amplitude factor; modulation: 0..1.
    float Value() const;
    bool Finished() const { return m_segment == Segment::Finished; }
    bool Released() const { return m_segment == Segment::Release || m_segment == Segment::Finished; }

private:
    enum class Segment { Delay, Attack, Hold, Decay, Sustain, Release, Finished };

    float FullDepth() const { return m_scale == Scale::Centibels ? 960.0f : 1.0f; }
    void Enter(Segment segment);

    Scale m_scale = Scale::Centibels;
    Times m_times{};
    Segment m_segment = Segment::Finished;
    float m_elapsed = 0.0f;
    float m_attackLevel = 0.0f; // during the attack, the linear level reached
    float m_depth = 0.0f;       // after it, how far below the peak (centibels, or 0..1)
    float m_releaseRate = 0.0f; // depth per sample
};
