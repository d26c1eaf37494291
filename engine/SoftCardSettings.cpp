#include "engine/SoftCardSettings.h"

namespace {

struct Range {
    SoftSettingField field;
    std::uint32_t SoftCardSettings::*value;
    std::uint32_t lowest;
    std::uint32_t highest;
    const char* message;
};

const Range kRanges[] = {
    {SoftSettingField::AudioApi, &SoftCardSettings::audioApi, kSoftAudioAutomatic, kSoftAudioWaveOut,
     "Please choose an audio output from the list."},
    {SoftSettingField::BufferMs, &SoftCardSettings::bufferMs, kSoftLowestBufferMs, kSoftHighestBufferMs,
     "Please enter a buffer length from 10 to 500 ms."},
    {SoftSettingField::SoundMemoryMb, &SoftCardSettings::soundMemoryMb, kSoftLowestMemoryMb,
     kSoftHighestMemoryMb, "Please enter a sound memory from 1 to 4095 MB."},
    {SoftSettingField::Polyphony, &SoftCardSettings::polyphony, kSoftLowestPolyphony, kSoftHighestPolyphony,
     "Please enter a polyphony from 1 to 256 voices."},
    {SoftSettingField::Reverb, &SoftCardSettings::reverb, 0, 1, "Reverb is either on or off."},
    {SoftSettingField::Chorus, &SoftCardSettings::chorus, 0, 1, "Chorus is either on or off."},
};

} // namespace

bool operator==(const SoftCardSettings& a, const SoftCardSettings& b)
{
    for (const Range& range : kRanges) {
        if (a.*range.value != b.*range.value)
            return false;
    }
    return true;
}

SoftSettingsCheck CheckSoftCardSettings(const SoftCardSettings& settings)
{
    for (const Range& range : kRanges) {
        std::uint32_t value = settings.*range.value;
        if (value < range.lowest || value > range.highest)
            return {range.field, range.message};
    }
    return {};
}
