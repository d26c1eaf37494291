#include "synth/SoundSet.h"

#include <algorithm>

namespace {

bool Before(const SoundSetEntry& a, int bank, int program)
{
    return a.bank < bank || (a.bank == bank && a.program < program);
}

} // namespace

const SoundSetEntry* CSoundSet::Find(int bank, int program) const
{
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), 0,
                                        [&](const SoundSetEntry& entry, int) { return Before(entry, bank, program); });
    if (found == m_entries.end() || found->bank != bank || found->program != program)
        return nullptr;
    return &*found;
}

bool CSoundSet::HoldsFont(const CSynthFont* font) const
{
    return std::any_of(m_fonts.begin(), m_fonts.end(), [&](const auto& held) { return held.get() == font; });
}

void CSoundSetBuilder::AddFont(std::shared_ptr<const CSynthFont> font)
{
    if (!font)
        return;
    for (int i = 0; i < font->PresetCount(); ++i)
        m_entries.push_back({font->PresetBank(i), font->PresetProgram(i), font.get(), i});
    m_fonts.push_back(std::move(font));
}

void CSoundSetBuilder::AddPreset(int bank, int program, std::shared_ptr<const CSynthFont> font, int presetIndex)
{
    if (!font || presetIndex < 0 || presetIndex >= font->PresetCount())
        return;
    m_entries.push_back({bank, program, font.get(), presetIndex});
    m_fonts.push_back(std::move(font));
}

std::shared_ptr<const CSoundSet> CSoundSetBuilder::Build() const
{
    auto set = std::make_shared<CSoundSet>();
    // Stable, so that among entries at one place the last added comes last and is kept.
    std::vector<SoundSetEntry> entries = m_entries;
    std::stable_sort(entries.begin(), entries.end(), [](const SoundSetEntry& a, const SoundSetEntry& b) {
        return Before(a, b.bank, b.program);
    });
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool lastAtPlace = i + 1 == entries.size() || entries[i + 1].bank != entries[i].bank ||
                                 entries[i + 1].program != entries[i].program;
        if (lastAtPlace)
            set->m_entries.push_back(entries[i]);
    }
    for (const auto& font : m_fonts) {
        if (!set->HoldsFont(font.get()))
            set->m_fonts.push_back(font);
    }
    return set;
}
