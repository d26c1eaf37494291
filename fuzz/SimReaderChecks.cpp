#include "fuzz/SimReaderChecks.h"

#include "cardmodel/CardSoundFontReader.h"
#include "cardmodel/CardWaveReader.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t kPresetHeaderSize = 38;
constexpr std::size_t kNameLength = 20;
constexpr std::size_t kMaxInfoText = 256;
// Presets read one by one per file: enough to reach the zone walks, few enough to stay fast.
constexpr std::size_t kPresetsToRead = 4;

bool IsOneOf(SfmResult result, std::initializer_list<SfmResult> codes)
{
    for (SfmResult code : codes)
        if (result == code)
            return true;
    return false;
}

std::string CheckSoundFont(SfmResult result, const CardSoundFontContents& contents, std::uint64_t fileSize)
{
    if (!IsOneOf(result, {kSfmSuccess, kSfmPathnameInvalid, kSfmFormatInvalid, kSfmSystemMemoryInsufficient}))
        return "SoundFont read answered code " + std::to_string(result);
    if (result != kSfmSuccess)
        return {};
    // Each name comes from a 38-byte record of the file, and the terminal record names none.
    if (contents.presetNames.size() >= fileSize / kPresetHeaderSize + 1)
        return "more presets than the file has records";
    for (const auto& [preset, name] : contents.presetNames) {
        if (preset > 127 || name.size() > kNameLength)
            return "preset " + std::to_string(preset) + " listed with a name of " + std::to_string(name.size());
    }
    if (contents.name.size() > kMaxInfoText)
        return "SoundFont name longer than its limit";
    if (contents.sampleBytes > fileSize)
        return "more sample bytes than the file holds";
    return {};
}

std::string CheckPreset(SfmResult result, const CardPresetContents& contents, SfmResult soundFontResult,
                        bool listed)
{
    if (!IsOneOf(result, {kSfmSuccess, kSfmPathnameInvalid, kSfmFormatInvalid, kSfmPresetIndexInvalid,
                          kSfmSystemMemoryInsufficient}))
        return "preset read answered code " + std::to_string(result);
    // Both reads open the file and its preset headers alike: a file that is no SoundFont is no
    // source of presets either, and a preset the bank lists is one the card can place.
    if (soundFontResult != kSfmSuccess && result != soundFontResult)
        return "preset read answered " + std::to_string(result) + " where the SoundFont read answered " +
               std::to_string(soundFontResult);
    if (listed && result == kSfmPresetIndexInvalid)
        return "a preset the SoundFont lists is not found";
    if (result == kSfmSuccess && contents.name.size() > kNameLength)
        return "preset name longer than its field";
    return {};
}

std::string CheckWave(SfmResult result, std::uint64_t dataBytes, std::uint64_t fileSize)
{
    if (!IsOneOf(result, {kSfmSuccess, kSfmPathnameInvalid, kSfmFormatInvalid}))
        return "wave read answered code " + std::to_string(result);
    if (result == kSfmSuccess && dataBytes > fileSize)
        return "more wave data than the file holds";
    return {};
}

} // namespace

std::string CheckSimReaders(const std::string& path, std::uint64_t fileSize)
{
    CardSoundFontContents soundFont;
    const SfmResult soundFontResult = CardReadSoundFont(path, soundFont);
    std::string broken = CheckSoundFont(soundFontResult, soundFont, fileSize);
    if (!broken.empty())
        return broken;

    // The presets the bank lists, then a drum kit and a preset beyond MIDI's range, which are
    // found only when the file has them.
    std::vector<std::pair<std::pair<std::uint16_t, std::uint16_t>, bool>> presets;
    for (const auto& entry : soundFont.presetNames) {
        if (presets.size() == kPresetsToRead)
            break;
        presets.push_back({{0, entry.first}, true});
    }
    presets.push_back({{128, 0}, false});
    presets.push_back({{0, 0xFFFF}, false});
    for (const auto& [location, listed] : presets) {
        CardPresetContents preset;
        SfmResult result = CardReadPreset(path, location.first, location.second, preset);
        broken = CheckPreset(result, preset, soundFontResult, listed);
        if (!broken.empty())
            return broken + " (bank " + std::to_string(location.first) + ", preset " +
                   std::to_string(location.second) + ")";
    }

    std::uint64_t dataBytes = 0;
    return CheckWave(CardReadWave(path, dataBytes), dataBytes, fileSize);
}
