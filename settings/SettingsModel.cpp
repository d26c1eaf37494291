#include "settings/SettingsModel.h"

#include "engine/SoundFontManager.h"
#include "midi/MidiPortBase.h"
#include "settings/SettingsKeys.h"

#include <algorithm>

namespace {

// The numbers of sounds on disk, each with its key.
struct NumberSetting {
    SettingKey key;
    std::int32_t PreviewSettings::*value;
};
constexpr NumberSetting kFileNumbers[] = {
    {SettingKey::FileMidiOutChannel, &PreviewSettings::fileMidiOutChannel},
    {SettingKey::FileBank, &PreviewSettings::fileBank},
    {SettingKey::FileInstrument, &PreviewSettings::fileInstrument},
};

// Hand-edited numbers out of range would reach the MIDI stream as status bytes or on another
// channel; held to their ranges here, they are also written back valid.
void ReadNumber(const CProfile& profile, SettingKey key, std::int32_t& value)
{
    const SettingKeyInfo& info = KeyInfo(key);
    value = info.absent;
    profile.ReadInt(info.section, info.name, value);
    value = std::clamp(value, 0, info.highest);
}

bool ReadName(const CProfile& profile, SettingKey key, std::string& name)
{
    return profile.ReadString(KeyInfo(key).section, KeyInfo(key).name, name);
}

void WriteName(const CProfile& profile, SettingKey key, const std::string& name)
{
    profile.WriteString(KeyInfo(key).section, KeyInfo(key).name, name);
}

template <typename T>
void TakeElement(const std::vector<T>& list, std::size_t index, T& target)
{
    // A hand-edited file may hold arrays of different lengths; missing elements keep the
    // entry's default.
    if (index < list.size())
        target = list[index];
}

void ReadDeviceMap(const CProfile& profile, CDeviceMap& deviceMap)
{
    std::vector<std::string> soundFontNames, outputNames;
    std::vector<int> channels;
    std::vector<bool> enabled;
    const SettingKeyInfo& names = KeyInfo(SettingKey::DeviceMapSoundFontNames);
    const SettingKeyInfo& outputs = KeyInfo(SettingKey::DeviceMapOutputNames);
    const SettingKeyInfo& channelKey = KeyInfo(SettingKey::DeviceMapChannels);
    const SettingKeyInfo& enabledKey = KeyInfo(SettingKey::DeviceMapEnabled);
    profile.ReadStringArray(names.section, names.name, soundFontNames);
    profile.ReadStringArray(outputs.section, outputs.name, outputNames);
    profile.ReadIntArray(channelKey.section, channelKey.name, channels);
    profile.ReadBoolArray(enabledKey.section, enabledKey.name, enabled);
    for (std::size_t i = 0; i < soundFontNames.size(); ++i) {
        DevMapEntry& entry = deviceMap.EntryFor(soundFontNames[i]);
        TakeElement(outputNames, i, entry.outDevName);
        TakeElement(channels, i, entry.channel);
        entry.channel = std::clamp(entry.channel, 0, channelKey.highest);
        if (i < enabled.size())
            entry.enabled = enabled[i];
    }
}

void WriteDeviceMap(const CProfile& profile, const CDeviceMap& deviceMap)
{
    std::vector<std::string> soundFontNames, outputNames;
    std::vector<int> channels;
    std::vector<bool> enabled;
    for (const auto& [soundFontName, entry] : deviceMap) {
        soundFontNames.push_back(soundFontName);
        outputNames.push_back(entry.outDevName);
        channels.push_back(entry.channel);
        enabled.push_back(entry.enabled);
    }
    const SettingKeyInfo& names = KeyInfo(SettingKey::DeviceMapSoundFontNames);
    const SettingKeyInfo& outputs = KeyInfo(SettingKey::DeviceMapOutputNames);
    const SettingKeyInfo& channelKey = KeyInfo(SettingKey::DeviceMapChannels);
    const SettingKeyInfo& enabledKey = KeyInfo(SettingKey::DeviceMapEnabled);
    profile.WriteStringArray(names.section, names.name, soundFontNames);
    profile.WriteStringArray(outputs.section, outputs.name, outputNames);
    profile.WriteIntArray(channelKey.section, channelKey.name, channels);
    profile.WriteBoolArray(enabledKey.section, enabledKey.name, enabled);
}

// A software device the stored map doesn't know is played by its own MIDI output (named like
// it), on the first channel; the user's own entries stay as they are.
void PairSoftwareDevices(CSoundFontEngine& soundFonts, const CDeviceMap& stored,
                         const std::vector<std::string>& midiOutputs, CDeviceMap& deviceMap)
{
    const int count = soundFonts.GetDeviceCount();
    for (int device = 0; device < count; ++device) {
        std::string name;
        if (!soundFonts.IsSoftwareDevice(device) || soundFonts.GetDeviceName(device, name).Failed() ||
            stored.Has(name))
            continue;
        DevMapEntry& entry = deviceMap.EntryFor(name);
        const bool ownOutput = std::find(midiOutputs.begin(), midiOutputs.end(), name) != midiOutputs.end();
        entry.outDevName = ownOutput ? name : std::string();
        entry.channel = 0;
        entry.enabled = true;
    }
}

// `device` is left alone when there is no software device.
void FirstSoftwareDevice(CSoundFontEngine& soundFonts, int& device)
{
    const int count = soundFonts.GetDeviceCount();
    for (int candidate = 0; candidate < count; ++candidate) {
        if (soundFonts.IsSoftwareDevice(candidate)) {
            device = candidate;
            return;
        }
    }
}

} // namespace

std::string ListedPathOf(const CShellItem& folder, const std::string& storedPath)
{
    std::string path = folder.GetPath();
    return path.empty() ? storedPath : path;
}

void SettingsModel::Load(const CProfile& profile, const SettingsDevices& devices,
                         const std::function<void()>& startPreview)
{
    std::string name;
    if (ReadName(profile, SettingKey::MidiInDevice, name)) {
        storedMidiIn.Read(name);
        devices.midiIn.FindDevice(name, preview.midiInDevice);
    }

    const SettingKeyInfo& onStartup = KeyInfo(SettingKey::PreviewOnStartup);
    profile.ReadBool(onStartup.section, onStartup.name, preview.previewOnStartup);
    if (preview.previewOnStartup)
        startPreview();

    ReadDeviceMap(profile, preview.deviceMap);
    const CDeviceMap stored = preview.deviceMap;
    std::vector<std::string> midiOutputs;
    devices.midiOut.ListDeviceNames(midiOutputs, false);
    if (preview.deviceMap.empty()) {
        std::vector<std::string> soundFontDevices;
        devices.soundFonts.GetDeviceNames(soundFontDevices);
        preview.deviceMap = DefaultDeviceMap(soundFontDevices, midiOutputs);
    }
    PairSoftwareDevices(devices.soundFonts, stored, midiOutputs, preview.deviceMap);

    const SettingKeyInfo& lastOpen = KeyInfo(SettingKey::LastOpenDir);
    profile.ReadText(lastOpen.section, lastOpen.name, lastOpenDir);
    const SettingKeyInfo& strip = KeyInfo(SettingKey::ShowPianoStrip);
    profile.ReadBool(strip.section, strip.name, showPianoStrip);

    std::vector<std::string> paths;
    const SettingKeyInfo& folderKey = KeyInfo(SettingKey::Folders);
    profile.ReadTextArray(folderKey.section, folderKey.name, paths);
    for (const std::string& path : paths) {
        folders.emplace_back(path);
        storedFolderPaths.push_back(path);
    }

    preview.fileSoundFontDevice = 0;
    if (ReadName(profile, SettingKey::FileSoundFontDevice, name)) {
        storedFileSoundFont.Read(name);
        devices.soundFonts.FindDevice(name, preview.fileSoundFontDevice);
    } else {
        // Never chosen: sounds on disk play where they can be heard without a card.
        FirstSoftwareDevice(devices.soundFonts, preview.fileSoundFontDevice);
    }

    preview.fileMidiOutDevice = 0;
    std::string soundFontDevice;
    if (devices.soundFonts.GetDeviceName(preview.fileSoundFontDevice, soundFontDevice).Ok())
        devices.midiOut.FindDevice(soundFontDevice, preview.fileMidiOutDevice);
    if (ReadName(profile, SettingKey::FileMidiOutDevice, name)) {
        storedFileMidiOut.Read(name);
        devices.midiOut.FindDevice(name, preview.fileMidiOutDevice);
    }

    for (const NumberSetting& number : kFileNumbers)
        ReadNumber(profile, number.key, preview.*number.value);
}

void SettingsModel::Save(const CProfile& profile, const SettingsDevices& devices) const
{
    const SettingKeyInfo& onStartup = KeyInfo(SettingKey::PreviewOnStartup);
    profile.WriteBool(onStartup.section, onStartup.name, preview.previewOnStartup);

    std::string name;
    devices.midiIn.GetDeviceName(preview.midiInDevice, name);
    WriteName(profile, SettingKey::MidiInDevice, storedMidiIn.ToWrite(name));

    WriteDeviceMap(profile, preview.deviceMap);

    const SettingKeyInfo& lastOpen = KeyInfo(SettingKey::LastOpenDir);
    profile.WriteText(lastOpen.section, lastOpen.name, lastOpenDir);
    const SettingKeyInfo& strip = KeyInfo(SettingKey::ShowPianoStrip);
    profile.WriteBool(strip.section, strip.name, showPianoStrip);

    std::vector<std::string> paths;
    for (std::size_t i = 0; i < folders.size(); ++i)
        paths.push_back(ListedPathOf(folders[i], i < storedFolderPaths.size() ? storedFolderPaths[i] : std::string()));
    const SettingKeyInfo& folderKey = KeyInfo(SettingKey::Folders);
    profile.WriteTextArray(folderKey.section, folderKey.name, paths);

    name.clear();
    devices.soundFonts.GetDeviceName(preview.fileSoundFontDevice, name);
    WriteName(profile, SettingKey::FileSoundFontDevice, storedFileSoundFont.ToWrite(name));
    name.clear();
    devices.midiOut.GetDeviceName(preview.fileMidiOutDevice, name);
    WriteName(profile, SettingKey::FileMidiOutDevice, storedFileMidiOut.ToWrite(name));
    for (const NumberSetting& number : kFileNumbers)
        profile.WriteInt(KeyInfo(number.key).section, KeyInfo(number.key).name, preview.*number.value);
}

void SettingsModel::TakeEdited(const PreviewSettings& edited)
{
    if (edited.midiInDevice != preview.midiInDevice)
        storedMidiIn.Chosen();
    if (edited.fileSoundFontDevice != preview.fileSoundFontDevice)
        storedFileSoundFont.Chosen();
    if (edited.fileMidiOutDevice != preview.fileMidiOutDevice)
        storedFileMidiOut.Chosen();
    preview = edited;
}

void SettingsModel::AddFolder(const CShellItem& folder)
{
    folders.push_back(folder);
    storedFolderPaths.resize(folders.size());
}

void SettingsModel::RemoveFolder(const std::string& listedPath)
{
    storedFolderPaths.resize(folders.size());
    for (std::size_t i = folders.size(); i-- > 0;) {
        if (ListedPathOf(folders[i], storedFolderPaths[i]) == listedPath) {
            folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(i));
            storedFolderPaths.erase(storedFolderPaths.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}
