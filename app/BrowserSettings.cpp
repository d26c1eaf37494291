// The main window's settings: read once from "tnw.ini" at start, written once at exit or at
// the end of the session, whichever comes first (CBrowserDlg::EndAndSave).

#include "app/BrowserDlg.h"

#include <algorithm>

namespace {

const char kPreview[] = "Preview";
const char kGeneral[] = "General";
const char kFolders[] = "Folders";

constexpr int kHighestChannel = 15;
constexpr int kHighestDataByte = 127;

template <typename T>
void TakeElement(const std::vector<T>& list, std::size_t index, T& target)
{
    // A hand-edited file may hold arrays of different lengths; missing elements keep the
    // entry's default.
    if (index < list.size())
        target = list[index];
}

} // namespace

void CBrowserDlg::LoadSettings()
{
    std::string name;
    if (m_profile.ReadString(kPreview, "MidiInDevice", name)) {
        m_storedMidiIn.Read(name);
        m_midiIn.FindDevice(name, m_midiInDevice);
    }

    m_profile.ReadBool(kPreview, "PreviewEnableOnStartup", m_previewOnStartup);
    if (m_previewOnStartup)
        TogglePreview();

    std::vector<std::string> soundFontNames, outputNames;
    std::vector<int> channels;
    std::vector<bool> enabled;
    m_profile.ReadStringArray(kPreview, "DevMapArray_SFDevName", soundFontNames);
    m_profile.ReadStringArray(kPreview, "DevMapArray_DevName", outputNames);
    m_profile.ReadIntArray(kPreview, "DevMapArray_Channel", channels);
    m_profile.ReadBoolArray(kPreview, "DevMapArray_Enable", enabled);
    for (std::size_t i = 0; i < soundFontNames.size(); ++i) {
        DevMapEntry& entry = m_deviceMap.EntryFor(soundFontNames[i]);
        TakeElement(outputNames, i, entry.outDevName);
        TakeElement(channels, i, entry.channel);
        entry.channel = std::clamp(entry.channel, 0, kHighestChannel);
        if (i < enabled.size())
            entry.enabled = enabled[i];
    }
    if (m_deviceMap.empty()) {
        std::vector<std::string> soundFontDevices, midiOutputs;
        m_previewOut.ListDeviceNames(midiOutputs, false);
        m_sfManager.GetDeviceNames(soundFontDevices);
        m_deviceMap = DefaultDeviceMap(soundFontDevices, midiOutputs);
    }

    m_profile.ReadText(kGeneral, "LastOpenDir", m_lastOpenDir);

    std::vector<std::string> folders;
    m_profile.ReadTextArray(kFolders, "LocalSoundFonts", folders);
    for (const std::string& path : folders) {
        m_localFolders.emplace_back(path);
        m_storedFolderPaths.push_back(path);
    }

    m_fileSoundFontDevice = 0;
    if (m_profile.ReadString(kPreview, "LFSoundFontDevice", name)) {
        m_storedFileSoundFont.Read(name);
        m_sfManager.FindDevice(name, m_fileSoundFontDevice);
    }

    m_fileMidiOutDevice = 0;
    std::string soundFontDevice;
    if (m_sfManager.GetDeviceName(m_fileSoundFontDevice, soundFontDevice) == 0)
        m_previewOut.FindDevice(soundFontDevice, m_fileMidiOutDevice);
    if (m_profile.ReadString(kPreview, "LFMidiOutDevice", name)) {
        m_storedFileMidiOut.Read(name);
        m_previewOut.FindDevice(name, m_fileMidiOutDevice);
    }

    m_fileMidiOutChannel = 15;
    m_profile.ReadInt(kPreview, "LFMidiOutChannel", m_fileMidiOutChannel);
    m_fileBank = 127;
    m_profile.ReadInt(kPreview, "LFMidiOutBank", m_fileBank);
    m_fileInstrument = 127;
    m_profile.ReadInt(kPreview, "LFMidiOutInstrument", m_fileInstrument);
    // Hand-edited numbers out of range would reach the MIDI stream as status bytes or on
    // another channel; held to their ranges here, they are also written back valid.
    m_fileMidiOutChannel = std::clamp(m_fileMidiOutChannel, 0, kHighestChannel);
    m_fileBank = std::clamp(m_fileBank, 0, kHighestDataByte);
    m_fileInstrument = std::clamp(m_fileInstrument, 0, kHighestDataByte);
}

void CBrowserDlg::SaveSettings()
{
    m_profile.WriteBool(kPreview, "PreviewEnableOnStartup", m_previewOnStartup);

    std::string name;
    m_midiIn.GetDeviceName(m_midiInDevice, name);
    m_profile.WriteString(kPreview, "MidiInDevice", m_storedMidiIn.ToWrite(name));

    std::vector<std::string> soundFontNames, outputNames;
    std::vector<int> channels;
    std::vector<bool> enabled;
    for (const auto& [soundFontName, entry] : m_deviceMap) {
        soundFontNames.push_back(soundFontName);
        outputNames.push_back(entry.outDevName);
        channels.push_back(entry.channel);
        enabled.push_back(entry.enabled);
    }
    m_profile.WriteStringArray(kPreview, "DevMapArray_SFDevName", soundFontNames);
    m_profile.WriteStringArray(kPreview, "DevMapArray_DevName", outputNames);
    m_profile.WriteIntArray(kPreview, "DevMapArray_Channel", channels);
    m_profile.WriteBoolArray(kPreview, "DevMapArray_Enable", enabled);

    m_profile.WriteText(kGeneral, "LastOpenDir", m_lastOpenDir);

    std::vector<std::string> folders;
    for (std::size_t i = 0; i < m_localFolders.size(); ++i) {
        std::string path = m_localFolders[i].GetPath();
        if (path.empty() && i < m_storedFolderPaths.size())
            path = m_storedFolderPaths[i];
        folders.push_back(path);
    }
    m_profile.WriteTextArray(kFolders, "LocalSoundFonts", folders);

    name.clear();
    m_sfManager.GetDeviceName(m_fileSoundFontDevice, name);
    m_profile.WriteString(kPreview, "LFSoundFontDevice", m_storedFileSoundFont.ToWrite(name));
    name.clear();
    m_previewOut.GetDeviceName(m_fileMidiOutDevice, name);
    m_profile.WriteString(kPreview, "LFMidiOutDevice", m_storedFileMidiOut.ToWrite(name));
    m_profile.WriteInt(kPreview, "LFMidiOutChannel", m_fileMidiOutChannel);
    m_profile.WriteInt(kPreview, "LFMidiOutBank", m_fileBank);
    m_profile.WriteInt(kPreview, "LFMidiOutInstrument", m_fileInstrument);
}
