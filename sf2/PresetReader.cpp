#include "sf2/PresetReader.h"

#include "sf2/SoundFontReader.h"

#include <utility>

bool ReadPresetHeaders(const std::string& path, std::vector<PresetHeader>& entries) noexcept
{
    SoundFontSummary summary;
    // The caller's storage is reused: moving it in keeps its capacity.
    summary.presets = std::move(entries);
    const bool found = ReadSoundFont(path, summary);
    entries = std::move(summary.presets);
    return found;
}
