#pragma once
// Every key of the settings file (tnw.ini), described once: its section, its name and, for a
// number, the value a file without the key gives and the highest value kept (the lowest is 0).
// Loading and saving both take their keys from this table. Needs no Windows header.

#include "engine/BankNumbers.h"
#include "midi/MidiMessage.h"

#include <cstddef>
#include <cstdint>

enum class SettingKey : std::uint8_t {
    PreviewOnStartup,
    MidiInDevice,
    DeviceMapSoundFontNames, // arrays: written as Name_0, Name_1, ...
    DeviceMapOutputNames,
    DeviceMapChannels,
    DeviceMapEnabled,
    FileSoundFontDevice,
    FileMidiOutDevice,
    FileMidiOutChannel,
    FileBank,
    FileInstrument,
    LastOpenDir,
    ShowPianoStrip,
    Folders,
};

struct SettingKeyInfo {
    SettingKey key;
    const char* section;
    const char* name;
    std::int32_t absent;  // numbers only
    std::int32_t highest; // numbers only
};

inline constexpr char kPreviewSection[] = "Preview";
inline constexpr char kGeneralSection[] = "General";
inline constexpr char kFoldersSection[] = "Folders";

// In the order of SettingKey, which is the order a new file lists them in. A file without the
// channel of sounds on disk gives the last channel; before any file is read (PreviewSettings)
// it is the first.
inline constexpr SettingKeyInfo kSettingKeys[] = {
    {SettingKey::PreviewOnStartup, kPreviewSection, "PreviewEnableOnStartup", 0, 1},
    {SettingKey::MidiInDevice, kPreviewSection, "MidiInDevice", 0, 0},
    {SettingKey::DeviceMapSoundFontNames, kPreviewSection, "DevMapArray_SFDevName", 0, 0},
    {SettingKey::DeviceMapOutputNames, kPreviewSection, "DevMapArray_DevName", 0, 0},
    {SettingKey::DeviceMapChannels, kPreviewSection, "DevMapArray_Channel", 0, kHighestMidiChannel},
    {SettingKey::DeviceMapEnabled, kPreviewSection, "DevMapArray_Enable", 1, 1},
    {SettingKey::FileSoundFontDevice, kPreviewSection, "LFSoundFontDevice", 0, 0},
    {SettingKey::FileMidiOutDevice, kPreviewSection, "LFMidiOutDevice", 0, 0},
    {SettingKey::FileMidiOutChannel, kPreviewSection, "LFMidiOutChannel", kHighestMidiChannel, kHighestMidiChannel},
    {SettingKey::FileBank, kPreviewSection, "LFMidiOutBank", kLastBank, kHighestDataByte},
    {SettingKey::FileInstrument, kPreviewSection, "LFMidiOutInstrument", kHighestDataByte, kHighestDataByte},
    {SettingKey::LastOpenDir, kGeneralSection, "LastOpenDir", 0, 0},
    {SettingKey::ShowPianoStrip, kGeneralSection, "ShowPianoStrip", 1, 1},
    {SettingKey::Folders, kFoldersSection, "LocalSoundFonts", 0, 0},
};

constexpr const SettingKeyInfo& KeyInfo(SettingKey key)
{
    return kSettingKeys[static_cast<std::size_t>(key)];
}

// A row out of place would give one setting another's key.
constexpr bool SettingKeysInOrder()
{
    for (std::size_t i = 0; i < sizeof kSettingKeys / sizeof kSettingKeys[0]; ++i) {
        if (static_cast<std::size_t>(kSettingKeys[i].key) != i)
            return false;
    }
    return true;
}
static_assert(SettingKeysInOrder(), "kSettingKeys must list the keys in the order of SettingKey");
static_assert(KeyInfo(SettingKey::Folders).key == SettingKey::Folders, "every SettingKey has a row");
