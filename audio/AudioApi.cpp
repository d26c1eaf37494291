#include "audio/AudioApi.h"

#include <algorithm>
#include <cctype>

namespace {

struct ChoiceName {
    AudioApiChoice choice;
    const char* key;
};

constexpr ChoiceName kChoiceNames[] = {
    {AudioApiChoice::Automatic, "auto"},
    {AudioApiChoice::Wasapi, "wasapi"},
    {AudioApiChoice::DirectSound, "directsound"},
    {AudioApiChoice::WaveOut, "waveout"},
};

constexpr AudioApi kUsualOrder[] = {AudioApi::Wasapi, AudioApi::DirectSound, AudioApi::WaveOut};

AudioApi ApiOf(AudioApiChoice choice)
{
    switch (choice) {
    case AudioApiChoice::DirectSound:
        return AudioApi::DirectSound;
    case AudioApiChoice::WaveOut:
        return AudioApi::WaveOut;
    default:
        return AudioApi::Wasapi;
    }
}

} // namespace

const char* AudioApiName(AudioApi api)
{
    switch (api) {
    case AudioApi::Wasapi:
        return "WASAPI shared mode";
    case AudioApi::DirectSound:
        return "DirectSound";
    case AudioApi::WaveOut:
        return "waveOut";
    }
    return "unknown audio API";
}

const char* AudioApiChoiceKey(AudioApiChoice choice)
{
    for (const ChoiceName& name : kChoiceNames) {
        if (name.choice == choice)
            return name.key;
    }
    return "auto";
}

bool ParseAudioApiChoice(const std::string& key, AudioApiChoice* choice)
{
    std::string lower(key);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const ChoiceName& name : kChoiceNames) {
        if (lower == name.key) {
            *choice = name.choice;
            return true;
        }
    }
    return false;
}

std::vector<AudioApi> AudioApisToTry(AudioApiChoice choice, bool fallBack)
{
    if (choice == AudioApiChoice::Automatic) {
        return std::vector<AudioApi>(std::begin(kUsualOrder), std::end(kUsualOrder));
    }
    std::vector<AudioApi> order {ApiOf(choice)};
    if (fallBack) {
        for (AudioApi api : kUsualOrder) {
            if (api != order.front())
                order.push_back(api);
        }
    }
    return order;
}
