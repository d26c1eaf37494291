#include "settings/SettingsModel.h"

#include "engine/BankNumbers.h"
#include "engine/SoundFontManager.h"
#include "midi/MidiMessage.h"
#include "midi/MidiPortBase.h"

#include <algorithm>

namespace {

const char kPreview[] = "Preview";
const char kGeneral[] = "General";
const char kFolders[] = "Folders";

// A file without the key sends sounds on disk on the last channel; before any file is read
// (PreviewSettings) the channel is the first.
constexpr int kLoadedFileChannel = kHighestMidiChannel;

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
    profile.ReadStringArray(kPreview, "DevMapArray_SFDevName", soundFontNames);
    profile.ReadStringArray(kPreview, "DevMapArray_DevName", outputNames);
    profile.ReadIntArray(kPreview, "DevMapArray_Channel", channels);
    profile.ReadBoolArray(kPreview, "DevMapArray_Enable", enabled);
    for (std::size_t i = 0; i < soundFontNames.size(); ++i) {
        DevMapEntry& entry = deviceMap.EntryFor(soundFontNames[i]);
        TakeElement(outputNames, i, entry.outDevName);
        TakeElement(channels, i, entry.channel);
        entry.channel = std::clamp(entry.channel, 0, kHighestMidiChannel);
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
    profile.WriteStringArray(kPreview, "DevMapArray_SFDevName", soundFontNames);
    profile.WriteStringArray(kPreview, "DevMapArray_DevName", outputNames);
    profile.WriteIntArray(kPreview, "DevMapArray_Channel", channels);
    profile.WriteBoolArray(kPreview, "DevMapArray_Enable", enabled);
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
    if (profile.ReadString(kPreview, "MidiInDevice", name)) {
        storedMidiIn.Read(name);
        devices.midiIn.FindDevice(name, preview.midiInDevice);
    }

    profile.ReadBool(kPreview, "PreviewEnableOnStartup", preview.previewOnStartup);
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

    profile.ReadText(kGeneral, "LastOpenDir", lastOpenDir);

    std::vector<std::string> paths;
    profile.ReadTextArray(kFolders, "LocalSoundFonts", paths);
    for (const std::string& path : paths) {
        folders.emplace_back(path);
        storedFolderPaths.push_back(path);
    }

    preview.fileSoundFontDevice = 0;
    if (profile.ReadString(kPreview, "LFSoundFontDevice", name)) {
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
    if (profile.ReadString(kPreview, "LFMidiOutDevice", name)) {
        storedFileMidiOut.Read(name);
        devices.midiOut.FindDevice(name, preview.fileMidiOutDevice);
    }

    preview.fileMidiOutChannel = kLoadedFileChannel;
    profile.ReadInt(kPreview, "LFMidiOutChannel", preview.fileMidiOutChannel);
    preview.fileBank = kLastBank;
    profile.ReadInt(kPreview, "LFMidiOutBank", preview.fileBank);
    preview.fileInstrument = kHighestDataByte;
    profile.ReadInt(kPreview, "LFMidiOutInstrument", preview.fileInstrument);
    // Hand-edited numbers out of range would reach the MIDI stream as status bytes or on
    // another channel; held to their ranges here, they are also written back valid.
    preview.fileMidiOutChannel = std::clamp(preview.fileMidiOutChannel, 0, kHighestMidiChannel);
    preview.fileBank = std::clamp(preview.fileBank, 0, kHighestDataByte);
    preview.fileInstrument = std::clamp(preview.fileInstrument, 0, kHighestDataByte);
}

void SettingsModel::Save(const CProfile& profile, const SettingsDevices& devices) const
{
    profile.WriteBool(kPreview, "PreviewEnableOnStartup", preview.previewOnStartup);

    std::string name;
    devices.midiIn.GetDeviceName(preview.midiInDevice, name);
    profile.WriteString(kPreview, "MidiInDevice", storedMidiIn.ToWrite(name));

    WriteDeviceMap(profile, preview.deviceMap);

    profile.WriteText(kGeneral, "LastOpenDir", lastOpenDir);

    std::vector<std::string> paths;
    for (std::size_t i = 0; i < folders.size(); ++i)
        paths.push_back(ListedPathOf(folders[i], i < storedFolderPaths.size() ? storedFolderPaths[i] : std::string()));
    profile.WriteTextArray(kFolders, "LocalSoundFonts", paths);

    name.clear();
    devices.soundFonts.GetDeviceName(preview.fileSoundFontDevice, name);
    profile.WriteString(kPreview, "LFSoundFontDevice", storedFileSoundFont.ToWrite(name));
    name.clear();
    devices.midiOut.GetDeviceName(preview.fileMidiOutDevice, name);
    profile.WriteString(kPreview, "LFMidiOutDevice", storedFileMidiOut.ToWrite(name));
    profile.WriteInt(kPreview, "LFMidiOutChannel", preview.fileMidiOutChannel);
    profile.WriteInt(kPreview, "LFMidiOutBank", preview.fileBank);
    profile.WriteInt(kPreview, "LFMidiOutInstrument", preview.fileInstrument);
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
