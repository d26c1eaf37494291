#pragma once
// The render side of the synthesizer: voices, channels, the message queue and the effects.
// Everything it needs is allocated when it is made; Render and PostShortMessage allocate
// nothing, and nothing here takes a lock.

#include "synth/Chorus.h"
#include "synth/EventQueue.h"
#include "synth/MidiChannel.h"
#include "synth/Reverb.h"
#include "synth/SoundSet.h"
#include "synth/SynthMath.h"
#include "synth/Voice.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A sound set handed to the render thread, with the number that orders it among the others.
struct SoundSetSwap {
    const CSoundSet* set;
    std::uint64_t generation;
};

class CSynthEngine {
public:
    static constexpr double kMinRate = 22050.0;
    static constexpr double kMaxRate = 96000.0;
    static constexpr int kChannels = 16;

    CSynthEngine(double sampleRate, int maxVoices, float gain, bool reverb, bool chorus);

    // Loader side: publishes a set for the next block.
    void OfferSet(const SoundSetSwap* swap) { m_pendingSet.store(swap, std::memory_order_release); }
    // Sets older than this are read by no voice and by no channel.
    std::uint64_t OldestGenerationInUse() const { return m_oldestInUse.load(std::memory_order_acquire); }

    bool Post(std::uint32_t message) { return m_queue.Push(message); }
    void Render(float* stereo, std::size_t frames);
    int ActiveVoices() const { return m_activeVoices.load(std::memory_order_relaxed); }

    void SetSampleRate(double rate) { m_requestedRate.store(static_cast<float>(Clamp(rate, kMinRate, kMaxRate))); }
    void SetGain(float gain) { m_gain.store(gain); }
    void SetPolyphony(int voices) { m_polyphony.store(Clamp(voices, 1, static_cast<int>(m_voices.size()))); }
    void SetReverb(bool on) { m_reverbOn.store(on); }
    void SetChorus(bool on) { m_chorusOn.store(on); }

private:
    void BeginBlock();
    void TakeOfferedSet();
    void ApplySampleRate(double rate);
    void Dispatch(std::uint32_t message);
    void NoteOn(int channel, int key, int velocity);
    void NoteOff(int channel, int key);
    void ControlChange(int channel, int controller, int value);
    void DataEntry(MidiChannel& channel, int controller, int value);
    void ProgramChange(int channel, int program);
    void SelectPreset(int channel);
    void ReleaseSustained(int channel);
    void AllNotesOff(int channel);
    void AllSoundOff(int channel);
    void SystemReset();
    void StartZones(int channel, int key, int velocity, const SoundSetEntry& entry);
    void StartVoice(int channel, int key, int velocity, const CSynthFont& font, int sampleIndex);
    CVoice* FreeVoice();
    void RenderBlock(float* stereo, int frames);
    void PublishVoicesInUse();

    std::vector<CVoice> m_voices;
    MidiChannel m_channels[kChannels];
    CEventQueue<4096> m_queue;
    CReverb m_reverb;
    CChorus m_chorus;
    VoiceRecipe m_recipe; // scratch for the note being started
    std::uint64_t m_noteOrder = 0;
    std::uint64_t m_noteStartOrder = 0; // the order number of the note-on being handled

    std::atomic<const SoundSetSwap*> m_pendingSet{nullptr};
    const CSoundSet* m_set = nullptr;
    std::uint64_t m_generation = 0;
    std::atomic<std::uint64_t> m_oldestInUse{0};

    double m_rate;
    std::atomic<float> m_requestedRate;
    std::atomic<float> m_gain;
    std::atomic<int> m_polyphony;
    std::atomic<bool> m_reverbOn, m_chorusOn;
    std::atomic<int> m_activeVoices{0};

    float m_left[kBlockFrames], m_right[kBlockFrames], m_reverbBus[kBlockFrames], m_chorusBus[kBlockFrames];
};
