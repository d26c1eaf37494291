#pragma once
// One sounding sample: its position in the sample data, envelopes, LFOs, filter and the gains
// it mixes with. Parameters are computed once a block; only the interpolation, the filter and
// the gain ramps run per sample.

#include "synth/Envelope.h"
#include "synth/Lfo.h"
#include "synth/LowPassFilter.h"
#include "synth/VoiceRecipe.h"

#include <cstdint>

class CSynthFont;

constexpr int kBlockFrames = 64;

// Where a block of voices mixes into: dry left and right, and the effect sends (mono; null
// while that effect is off).
struct MixBuses {
    float* left;
    float* right;
    float* reverb;
    float* chorus;
};

// What a voice reads of its channel each block.
struct VoiceChannelView {
    ModulatorInputs inputs;
    std::uint32_t serial; // changes whenever an input of a modulator changes
};

struct VoiceStart {
    const VoiceRecipe* recipe;
    const CSynthFont* font;
    int sampleIndex;
    int channel;
    int key;
    int velocity;
    std::uint64_t order; // notes started earlier have lower numbers
    std::uint64_t generation;
    float outputRate;
};

class CVoice {
public:
    enum class State { Off, On, Sustained, Released };

    // False when the zone plays nothing (a sample of no length).
    bool Start(const VoiceStart& start, const VoiceChannelView& channel);
    void Release();
    void ReleaseQuickly();
    void Sustain() { m_state = State::Sustained; }
    void Kill() { m_state = State::Off; }

    void Render(int frames, const VoiceChannelView& channel, float masterGain, const MixBuses& buses);

    State GetState() const { return m_state; }
    bool IsActive() const { return m_state != State::Off; }
    bool IsReleased() const { return m_state == State::Released; }
    int Channel() const { return m_channel; }
    int Key() const { return m_key; }
    int ExclusiveClass() const { return m_exclusiveClass; }
    std::uint64_t Order() const { return m_order; }
    const CSynthFont* Font() const { return m_font; }
    std::uint64_t Generation() const { return m_generation; }
    void SetGeneration(std::uint64_t generation) { m_generation = generation; }
    // The level it was last mixed at, for choosing which voice to take for a new note.
    float Loudness() const { return m_gain; }

private:
    void ApplyModulators(const ModulatorInputs& inputs);
    void StartEnvelopes(const float* values);
    template <bool kLowBytes>
    int Interpolate(float* out, int frames);
    float Word(std::int64_t index) const;
    template <bool kLowBytes>
    float Fetch(std::int64_t index) const;
    template <bool kReverb, bool kChorus>
    void FilterAndMix(const float* samples, int frames, const MixBuses& buses);

    State m_state = State::Off;
    VoiceRecipe m_recipe;
    const CSynthFont* m_font = nullptr;
    const std::int16_t* m_words = nullptr;
    const std::uint8_t* m_lowBytes = nullptr;
    int m_channel = 0, m_key = 0, m_velocity = 0, m_exclusiveClass = 0;
    std::uint64_t m_order = 0, m_generation = 0;
    std::uint32_t m_serial = 0;
    float m_outputRate = 44100.0f, m_sampleRate = 44100.0f;
    float m_pitchKey = 60.0f, m_rootKey = 60.0f, m_correction = 0.0f; // the pitch's key, root, sample's cents

    // Sample points: [start, end) plays, [loopStart, loopEnd) repeats.
    std::uint32_t m_start = 0, m_end = 0, m_loopStart = 0, m_loopEnd = 0;
    int m_loopMode = 0;
    bool m_looped = false; // has wrapped at least once
    std::uint64_t m_phase = 0; // 32.32 fixed point

    // From the generators and modulators, recomputed when the channel changes.
    float m_pitchCents = 0.0f;
    float m_attenuation = 0.0f;
    float m_panLeft = 0.0f, m_panRight = 0.0f, m_reverbSend = 0.0f, m_chorusSend = 0.0f;
    float m_filterCents = 13500.0f, m_filterQ = 0.0f;
    float m_modLfoToPitch = 0.0f, m_vibLfoToPitch = 0.0f, m_modEnvToPitch = 0.0f;
    float m_modLfoToFilter = 0.0f, m_modEnvToFilter = 0.0f, m_modLfoToVolume = 0.0f;
    float m_appliedFilterCents = -1.0f, m_appliedFilterQ = -1.0f;

    CEnvelope m_volumeEnvelope, m_modEnvelope;
    CLfo m_modLfo, m_vibLfo;
    CLowPassFilter m_filter;

    // Gains at the end of the last block, ramped from over the next.
    float m_gain = 0.0f;
    float m_left = 0.0f, m_right = 0.0f, m_reverb = 0.0f, m_chorus = 0.0f;
};
