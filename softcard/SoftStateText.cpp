#include "softcard/SoftStateText.h"

#include "audio/AudioApi.h"
#include "cardmodel/CardState.h"
#include "softcard/SoftSettingsApply.h"

#include <sstream>

namespace {

constexpr const char* kSettingWord = "setting ";

struct SettingLine {
    const char* key;
    std::uint32_t SoftCardSettings::*value;
    bool onOff;
};

const SettingLine kNumberLines[] = {
    {"buffer-ms", &SoftCardSettings::bufferMs, false},
    {"polyphony", &SoftCardSettings::polyphony, false},
    {"reverb", &SoftCardSettings::reverb, true},
    {"chorus", &SoftCardSettings::chorus, true},
};

bool ReadNumber(const std::string& word, bool onOff, std::uint32_t& number)
{
    if (onOff) {
        if (word != "on" && word != "off")
            return false;
        number = word == "on" ? 1 : 0;
        return true;
    }
    if (word.empty() || word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = 0;
    for (char digit : word)
        number = number * 10 + static_cast<std::uint32_t>(digit - '0');
    return true;
}

// One setting's line; a line it can't use changes nothing.
void ReadSetting(const std::string& key, const std::string& word, SoftCardSettings& settings)
{
    SoftCardSettings candidate = settings;
    AudioApiChoice choice;
    if (key == "audio" && ParseAudioApiChoice(word, &choice)) {
        for (std::uint32_t api = kSoftAudioAutomatic; api <= kSoftAudioWaveOut; ++api) {
            if (SoftAudioChoice(api) == choice)
                candidate.audioApi = api;
        }
    }
    for (const SettingLine& line : kNumberLines) {
        if (key == line.key && !ReadNumber(word, line.onOff, candidate.*line.value))
            return;
    }
    if (CheckSoftCardSettings(candidate).Ok())
        settings = candidate;
}

} // namespace

std::string WriteSoftState(const CardContents& contents, const SoftCardSettings& settings)
{
    std::ostringstream out;
    out << WriteCardState(contents);
    out << kSettingWord << "audio " << AudioApiChoiceKey(SoftAudioChoice(settings.audioApi)) << '\n';
    for (const SettingLine& line : kNumberLines) {
        std::uint32_t value = settings.*line.value;
        out << kSettingWord << line.key << ' ';
        if (line.onOff)
            out << (value ? "on" : "off") << '\n';
        else
            out << value << '\n';
    }
    return out.str();
}

bool ReadSoftState(const std::string& text, CardContents& contents, SoftCardSettings& settings)
{
    std::istringstream lines(text);
    std::string line;
    std::string cardState;
    while (std::getline(lines, line)) {
        if (line.compare(0, 8, kSettingWord) != 0) {
            cardState += line + '\n';
            continue;
        }
        std::istringstream fields(line.substr(8));
        std::string key, word;
        if (fields >> key >> word)
            ReadSetting(key, word, settings);
    }
    return ReadCardState(cardState, contents);
}
