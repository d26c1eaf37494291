#pragma once
// The synthesizer as the song renderer's sound source.

#include "render/SoundSource.h"
#include "synth/Synthesizer.h"

class CSynthesizerSource : public ISoundSource {
public:
    explicit CSynthesizerSource(CSynthesizer& synthesizer) : m_synthesizer(synthesizer) {}

    bool PostShortMessage(std::uint32_t message) override { return m_synthesizer.PostShortMessage(message); }
    void Render(float* stereo, std::size_t frames) override { m_synthesizer.Render(stereo, frames); }

private:
    CSynthesizer& m_synthesizer;
};
