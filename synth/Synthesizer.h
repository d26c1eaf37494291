#pragma once
// A SoundFont 2 synthesizer: MIDI short messages in, interleaved stereo float frames out.
// One render thread calls Render; any thread posts messages; a loader thread swaps the
// sound set. Render allocates nothing and takes no lock another thread can hold.

#include "synth/SoundSet.h"
#include "synth/SynthFont.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct SynthConfig {
    double sampleRate = 44100;
    int maxVoices = 256;
    float gain = 0.2f;
    bool reverb = true;
    bool chorus = true;
};

class CSynthEngine;

class CSynthesizer {
public:
    explicit CSynthesizer(const SynthConfig& config);
    ~CSynthesizer();
    CSynthesizer(const CSynthesizer&) = delete;
    CSynthesizer& operator=(const CSynthesizer&) = delete;

    // Off the render thread (a loader's): what to play from the next block on. The old set is
    // released off the render thread, only once no voice still reads it. Voices of fonts no
    // longer in the new set fade out in a few milliseconds; the others play on.
    void SetSoundSet(std::shared_ptr<const CSoundSet> set);
    void SetFont(std::shared_ptr<const CSynthFont> font); // a set of that one font
    // Off the render thread: frees the sets no voice reads any more.
    void CollectGarbage();

    // Any thread, never blocks, never allocates: a MIDI short message packed
    // status | d1 << 8 | d2 << 16. False when the queue is full. Applied at the start of the
    // next Render call.
    bool PostShortMessage(std::uint32_t message);

    // Render thread: `frames` interleaved stereo float frames.
    void Render(float* stereo, std::size_t frames);
    int ActiveVoices() const;

    // Off the render thread, or between Render calls; applied from the next block.
    void SetSampleRate(double rate); // 22,050 to 96,000 Hz
    void SetGain(float gain);
    void SetPolyphony(int voices); // 1 to the configured maxVoices
    void SetReverb(bool on);
    void SetChorus(bool on);

private:
    struct RetainedSet;
    void CollectLocked();

    std::unique_ptr<CSynthEngine> m_engine;
    std::mutex m_loaderLock; // loaders only; the render thread never takes it
    std::vector<std::unique_ptr<RetainedSet>> m_retained;
    std::uint64_t m_nextGeneration = 1;
};
