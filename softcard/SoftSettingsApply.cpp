#include "softcard/SoftSettingsApply.h"

namespace {

constexpr AudioApiChoice kAudioChoices[] = {AudioApiChoice::Automatic, AudioApiChoice::Wasapi,
                                            AudioApiChoice::DirectSound, AudioApiChoice::WaveOut};

} // namespace

AudioApiChoice SoftAudioChoice(std::uint32_t api)
{
    return api < sizeof kAudioChoices / sizeof kAudioChoices[0] ? kAudioChoices[api] : AudioApiChoice::Automatic;
}

AudioRequest SoftAudioRequest(const SoftCardSettings& settings)
{
    AudioRequest request;
    request.api = SoftAudioChoice(settings.audioApi);
    request.bufferMs = ClampBufferMs(settings.bufferMs);
    return request;
}

SoftCardSettings CurrentSoftSettings(const CSoftCard& card, const SoftCardSettings& kept)
{
    SoftCardSettings current = kept;
    current.soundMemoryMb = card.SoundMemoryMb();
    return current;
}

void ApplySoftVoices(CSoftCard& card, const SoftCardSettings& settings)
{
    card.SetVoiceSettings(static_cast<int>(settings.polyphony), settings.reverb != 0, settings.chorus != 0);
}

bool ApplySoftSettings(CSoftCard& card, const SoftCardSettings& current, const SoftCardSettings& wanted)
{
    if (wanted.soundMemoryMb != current.soundMemoryMb)
        card.SetSoundMemory(wanted.soundMemoryMb << 20);
    if (wanted.polyphony != current.polyphony || wanted.reverb != current.reverb || wanted.chorus != current.chorus)
        ApplySoftVoices(card, wanted);
    return wanted.audioApi != current.audioApi || wanted.bufferMs != current.bufferMs;
}
