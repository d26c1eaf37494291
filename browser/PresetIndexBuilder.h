#pragma once
// Fills a preset index on a thread of its own: first the files behind the card's loaded banks,
// then every SoundFont file under the listed folders, one file at a time, so that searches see
// the presets of each file as soon as it is read. Files that can't be read are skipped and
// counted. While the window is busy with work the user waits for, the build gives way: on a
// machine of two cores it would otherwise take half the time the window needs.

#include "browser/PresetIndex.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Calls `found` with the path of every .sf2 file below `folder`, subfolders included; the
// answer false from `found` stops the walk.
using SoundFontLister = std::function<void(const std::string& folder, const std::function<bool(const std::string&)>& found)>;

class CPresetIndexBuilder {
public:
    CPresetIndexBuilder(CPresetIndex& index, SoundFontLister lister);
    // Stops the reading thread and waits for it.
    ~CPresetIndexBuilder();
    CPresetIndexBuilder(const CPresetIndexBuilder&) = delete;
    CPresetIndexBuilder& operator=(const CPresetIndexBuilder&) = delete;

    // Empties the index and reads it again from `loadedBanks` (sources with the bank's file as
    // path) and the files under `folders`. A build still running is stopped first.
    void Start(std::vector<PresetSource> loadedBanks, std::vector<std::string> folders);
    void Stop();
    // Waits for the build to finish (for tests and benchmarks).
    void Wait();
    // Reads no further file before `until` (a build stopped meanwhile still stops at once).
    void GiveWayUntil(std::chrono::steady_clock::time_point until);

private:
    void Run(unsigned generation, const std::vector<PresetSource>& loadedBanks, const std::vector<std::string>& folders);
    void ReadSource(unsigned generation, const PresetSource& source);
    void WaitWhileGivingWay() const;

    CPresetIndex& m_index;
    SoundFontLister m_lister;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<std::chrono::steady_clock::rep> m_giveWayUntil{0};
};

// The presets of a SoundFont file on disk as the index keeps them; false when the file can't be read.
bool ReadIndexedPresets(const std::string& path, std::vector<IndexedPreset>& presets);
