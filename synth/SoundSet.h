#pragma once
// What a synthesizer plays: an immutable map (bank, program) -> a preset of some loaded font.
// Built off the render thread by a CSoundSetBuilder; it holds its fonts, so a set alone keeps
// everything its voices read alive.

#include "synth/SynthFont.h"

#include <memory>
#include <vector>

struct SoundSetEntry {
    int bank = 0;
    int program = 0;
    const CSynthFont* font = nullptr;
    int presetIndex = 0;
};

class CSoundSet {
public:
    // The preset at (bank, program), or null. Allocates nothing: the render thread calls it.
    const SoundSetEntry* Find(int bank, int program) const;
    bool HoldsFont(const CSynthFont* font) const;
    const std::vector<SoundSetEntry>& Entries() const { return m_entries; }

private:
    friend class CSoundSetBuilder;
    std::vector<SoundSetEntry> m_entries; // sorted by (bank, program), one per place
    std::vector<std::shared_ptr<const CSynthFont>> m_fonts;
};

class CSoundSetBuilder {
public:
    // Every preset of the font at its own bank and program.
    void AddFont(std::shared_ptr<const CSynthFont> font);
    // One preset placed at another bank and program, as a card places the presets of a
    // SoundFont in the bank it was loaded to. Out-of-range indices are ignored.
    void AddPreset(int bank, int program, std::shared_ptr<const CSynthFont> font, int presetIndex);
    // A place given twice keeps the preset added last.
    std::shared_ptr<const CSoundSet> Build() const;

private:
    std::vector<SoundSetEntry> m_entries;
    std::vector<std::shared_ptr<const CSynthFont>> m_fonts;
};
