#pragma once
// The software card's devices played through one audio output, as a card's synthesizers
// share its one line out: each renders its block and the blocks are summed. One output rather
// than one per device, because a PC's default device is often a single stream (Wine's ALSA
// file sink writes one file per stream and two would overwrite each other). Render allocates
// nothing: the scratch block is made up front. Needs no Windows header.

#include <array>
#include <cstddef>
#include <vector>

class CSynthesizer;

class CSoftMixer {
public:
    // The synthesizers must outlive the mixer's use.
    explicit CSoftMixer(std::vector<CSynthesizer*> synths) : m_synths(std::move(synths)) {}

    // Render thread: `frames` interleaved stereo frames, the sum of every synthesizer's.
    void Render(float* stereo, std::size_t frames);

private:
    static constexpr std::size_t kScratchFrames = 512;

    std::vector<CSynthesizer*> m_synths;
    std::array<float, 2 * kScratchFrames> m_scratch{};
};
