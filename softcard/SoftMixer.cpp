#include "softcard/SoftMixer.h"

#include "synth/Synthesizer.h"

#include <algorithm>

void CSoftMixer::Render(float* stereo, std::size_t frames)
{
    if (m_synths.empty()) {
        std::fill(stereo, stereo + 2 * frames, 0.0f);
        return;
    }
    m_synths.front()->Render(stereo, frames);
    for (std::size_t i = 1; i < m_synths.size(); ++i) {
        for (std::size_t done = 0; done < frames;) {
            const std::size_t chunk = std::min(kScratchFrames, frames - done);
            m_synths[i]->Render(m_scratch.data(), chunk);
            float* target = stereo + 2 * done;
            for (std::size_t s = 0; s < 2 * chunk; ++s)
                target[s] += m_scratch[s];
            done += chunk;
        }
    }
}
