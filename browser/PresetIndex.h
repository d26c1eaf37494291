#pragma once
// The names of every preset the find box can reach: those of the banks loaded on the card and
// those of the SoundFont files under the listed folders. Filled from a reading thread while
// the window's thread searches it; both sides hold its lock only briefly (a file's presets are
// added at once, a search walks compact arrays).

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Where presets come from: a bank loaded on the card (`device` 0 and up) or a file on disk.
struct PresetSource {
    int device = -1;
    int bank = 0;
    std::string path;

    bool IsLoadedBank() const { return device >= 0; }
};

struct IndexedPreset {
    std::string name;
    std::uint16_t bank = 0;
    std::uint16_t program = 0;
};

struct PresetMatch {
    IndexedPreset preset;
    PresetSource source;
};

struct PresetIndexCounts {
    std::size_t sources = 0;
    std::size_t presets = 0;
    // Files that could not be read as SoundFonts, or not at all.
    std::size_t skipped = 0;
    bool complete = false;
};

class CPresetIndex {
public:
    // Empties the index and starts a new generation: additions for an older one are ignored,
    // so a reading thread that is still finishing can't mix old presets in.
    unsigned Restart();
    void Add(unsigned generation, const PresetSource& source, const std::vector<IndexedPreset>& presets);
    void CountSkipped(unsigned generation);
    void MarkComplete(unsigned generation);

    // Up to `limit` presets whose names hold `text`, letters A-Z matched without case, in the
    // order they were added. Empty text matches nothing.
    std::vector<PresetMatch> Search(const std::string& text, std::size_t limit) const;
    PresetIndexCounts Counts() const;
    // Bytes held by the index's arrays.
    std::size_t MemoryBytes() const;

private:
    struct Entry {
        std::uint32_t nameOffset;
        std::uint32_t source;
        std::uint16_t bank;
        std::uint16_t program;
        std::uint8_t nameLength;
    };

    mutable std::mutex m_mutex;
    unsigned m_generation = 0;
    std::vector<PresetSource> m_sources;
    std::vector<Entry> m_entries;
    // Every name as stored, then every name folded to lower case, at the same offsets.
    std::string m_names;
    std::string m_folded;
    std::size_t m_skipped = 0;
    bool m_complete = false;
};

// Letters A-Z as a-z; every other byte, UTF-8 included, as itself.
std::string FoldCase(const std::string& text);
