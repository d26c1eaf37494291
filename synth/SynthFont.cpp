#include "synth/SynthFont.h"

int CSynthFont::FindPreset(int bank, int program) const
{
    for (std::size_t i = 0; i < m_presets.size(); ++i) {
        if (m_presets[i].bank == bank && m_presets[i].program == program)
            return static_cast<int>(i);
    }
    return -1;
}
