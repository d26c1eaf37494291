#include "browser/PresetIndexBuilder.h"

#include "sf2/SoundFontReader.h"

#include <algorithm>
#include <utility>

bool ReadIndexedPresets(const std::string& path, std::vector<IndexedPreset>& presets)
{
    presets.clear();
    SoundFontSummary summary;
    if (!ReadSoundFont(path, summary, true))
        return false;
    presets.reserve(summary.presets.size());
    for (const PresetHeader& header : summary.presets)
        presets.push_back({header.Name(), header.Bank(), header.Preset()});
    return true;
}

CPresetIndexBuilder::CPresetIndexBuilder(CPresetIndex& index, SoundFontLister lister)
    : m_index(index)
    , m_lister(std::move(lister))
{
}

CPresetIndexBuilder::~CPresetIndexBuilder()
{
    Stop();
}

void CPresetIndexBuilder::Start(std::vector<PresetSource> loadedBanks, std::vector<std::string> folders)
{
    Stop();
    unsigned generation = m_index.Restart();
    m_stop = false;
    m_thread = std::thread([this, generation, banks = std::move(loadedBanks), roots = std::move(folders)] {
        Run(generation, banks, roots);
    });
}

void CPresetIndexBuilder::Stop()
{
    m_stop = true;
    Wait();
}

void CPresetIndexBuilder::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CPresetIndexBuilder::GiveWayUntil(std::chrono::steady_clock::time_point until)
{
    m_giveWayUntil = until.time_since_epoch().count();
}

void CPresetIndexBuilder::WaitWhileGivingWay() const
{
    using Clock = std::chrono::steady_clock;
    while (!m_stop && Clock::now().time_since_epoch().count() < m_giveWayUntil)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void CPresetIndexBuilder::Run(unsigned generation, const std::vector<PresetSource>& loadedBanks,
                              const std::vector<std::string>& folders)
{
    for (const PresetSource& bank : loadedBanks) {
        if (m_stop)
            return;
        ReadSource(generation, bank);
    }
    for (const std::string& folder : folders) {
        m_lister(folder, [&](const std::string& path) {
            if (m_stop)
                return false;
            PresetSource source;
            source.path = path;
            ReadSource(generation, source);
            return true;
        });
        if (m_stop)
            return;
    }
    m_index.MarkComplete(generation);
}

void CPresetIndexBuilder::ReadSource(unsigned generation, const PresetSource& source)
{
    WaitWhileGivingWay();
    if (m_stop)
        return;
    std::vector<IndexedPreset> presets;
    if (!ReadIndexedPresets(source.path, presets)) {
        m_index.CountSkipped(generation);
        return;
    }
    // A loaded bank shows its melodic presets of bank 0 and its percussion kits, as the card
    // plays them; the others are not reachable there.
    if (source.IsLoadedBank()) {
        presets.erase(std::remove_if(presets.begin(), presets.end(),
                                     [](const IndexedPreset& preset) { return preset.bank != 0 && preset.bank < 128; }),
                      presets.end());
    }
    m_index.Add(generation, source, presets);
}
