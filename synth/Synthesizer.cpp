#include "synth/Synthesizer.h"

#include "synth/SynthEngine.h"

#include <algorithm>

struct CSynthesizer::RetainedSet {
    std::shared_ptr<const CSoundSet> keep;
    SoundSetSwap swap;
};

CSynthesizer::CSynthesizer(const SynthConfig& config)
    : m_engine(std::make_unique<CSynthEngine>(config.sampleRate, config.maxVoices, config.gain, config.reverb,
                                              config.chorus))
{
}

CSynthesizer::~CSynthesizer() = default;

void CSynthesizer::SetSoundSet(std::shared_ptr<const CSoundSet> set)
{
    std::lock_guard<std::mutex> lock(m_loaderLock);
    CollectLocked();
    auto retained = std::make_unique<RetainedSet>();
    retained->swap = SoundSetSwap{set.get(), m_nextGeneration++};
    retained->keep = std::move(set);
    m_engine->OfferSet(&retained->swap);
    m_retained.push_back(std::move(retained));
}

void CSynthesizer::SetFont(std::shared_ptr<const CSynthFont> font)
{
    CSoundSetBuilder builder;
    builder.AddFont(std::move(font));
    SetSoundSet(builder.Build());
}

void CSynthesizer::CollectGarbage()
{
    std::lock_guard<std::mutex> lock(m_loaderLock);
    CollectLocked();
}

// A set older than every set a voice or a channel still reads can go: the render thread has
// taken a newer one and no voice of the older one sounds.
void CSynthesizer::CollectLocked()
{
    const std::uint64_t oldest = m_engine->OldestGenerationInUse();
    m_retained.erase(std::remove_if(m_retained.begin(), m_retained.end(),
                                    [&](const auto& retained) { return retained->swap.generation < oldest; }),
                     m_retained.end());
}

bool CSynthesizer::PostShortMessage(std::uint32_t message)
{
    return m_engine->Post(message);
}

void CSynthesizer::Render(float* stereo, std::size_t frames)
{
    m_engine->Render(stereo, frames);
}

int CSynthesizer::ActiveVoices() const
{
    return m_engine->ActiveVoices();
}

void CSynthesizer::SetSampleRate(double rate)
{
    m_engine->SetSampleRate(rate);
}

void CSynthesizer::SetGain(float gain)
{
    m_engine->SetGain(gain);
}

void CSynthesizer::SetPolyphony(int voices)
{
    m_engine->SetPolyphony(voices);
}

void CSynthesizer::SetReverb(bool on)
{
    m_engine->SetReverb(on);
}

void CSynthesizer::SetChorus(bool on)
{
    m_engine->SetChorus(on);
}
