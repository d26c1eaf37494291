#include "browser/PresetIndex.h"

#include <algorithm>
#include <cstring>

std::string FoldCase(const std::string& text)
{
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

unsigned CPresetIndex::Restart()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sources.clear();
    m_entries.clear();
    m_names.clear();
    m_folded.clear();
    m_skipped = 0;
    m_complete = false;
    return ++m_generation;
}

void CPresetIndex::Add(unsigned generation, const PresetSource& source, const std::vector<IndexedPreset>& presets)
{
    // The folding and copying happen before the lock is taken.
    std::string names;
    std::vector<Entry> entries;
    entries.reserve(presets.size());
    for (const IndexedPreset& preset : presets) {
        std::size_t length = std::min<std::size_t>(preset.name.size(), 255);
        entries.push_back({static_cast<std::uint32_t>(names.size()), 0, preset.bank, preset.program,
                           static_cast<std::uint8_t>(length)});
        names.append(preset.name, 0, length);
    }
    std::string folded = FoldCase(names);

    std::lock_guard<std::mutex> lock(m_mutex);
    if (generation != m_generation)
        return;
    auto base = static_cast<std::uint32_t>(m_names.size());
    auto sourceIndex = static_cast<std::uint32_t>(m_sources.size());
    m_sources.push_back(source);
    for (Entry& entry : entries) {
        entry.nameOffset += base;
        entry.source = sourceIndex;
    }
    m_entries.insert(m_entries.end(), entries.begin(), entries.end());
    m_names += names;
    m_folded += folded;
}

void CPresetIndex::CountSkipped(unsigned generation)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (generation == m_generation)
        ++m_skipped;
}

void CPresetIndex::MarkComplete(unsigned generation)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (generation == m_generation)
        m_complete = true;
}

std::vector<PresetMatch> CPresetIndex::Search(const std::string& text, std::size_t limit) const
{
    std::vector<PresetMatch> matches;
    if (text.empty() || limit == 0)
        return matches;
    const std::string wanted = FoldCase(text);
    std::lock_guard<std::mutex> lock(m_mutex);
    const char* folded = m_folded.data();
    for (const Entry& entry : m_entries) {
        if (entry.nameLength < wanted.size())
            continue;
        const char* name = folded + entry.nameOffset;
        const char* end = name + entry.nameLength;
        if (std::search(name, end, wanted.begin(), wanted.end()) == end)
            continue;
        IndexedPreset preset{m_names.substr(entry.nameOffset, entry.nameLength), entry.bank, entry.program};
        matches.push_back({std::move(preset), m_sources[entry.source]});
        if (matches.size() == limit)
            break;
    }
    return matches;
}

PresetIndexCounts CPresetIndex::Counts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_sources.size(), m_entries.size(), m_skipped, m_complete};
}

std::size_t CPresetIndex::MemoryBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t bytes = m_entries.capacity() * sizeof(Entry) + m_names.capacity() + m_folded.capacity() +
                        m_sources.capacity() * sizeof(PresetSource);
    for (const PresetSource& source : m_sources)
        bytes += source.path.capacity();
    return bytes;
}
