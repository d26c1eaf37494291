#pragma once
// Everything the main window keeps between runs, as one value: the preview settings the
// sheet edits, the folder last loaded from, and the folders listed under the disk's sounds.
// Read once from the settings file at start and written back once at the end.

#include "settings/PreviewSettings.h"
#include "settings/Profile.h"
#include "settings/StoredDeviceName.h"
#include "shell/ShellItem.h"

#include <functional>
#include <string>
#include <vector>

class CMidiPortBase;
class CSoundFontManager;

// The devices whose positions the settings file gives by name.
struct SettingsDevices {
    CMidiPortBase& midiIn;
    CMidiPortBase& midiOut;
    CSoundFontManager& soundFonts;
};

// The path a listed folder is shown and known under: its own, or, when the shell can name none
// (a drive not attached, a path it can't parse), the one it was stored under.
std::string ListedPathOf(const CShellItem& folder, const std::string& storedPath);

struct SettingsModel {
    // Before any file is read (or when the engine failed and none will be), `preview` holds
    // PreviewSettings' defaults. A file that lacks a key leaves the value at the default the
    // load gives it, which differs on purpose for the channel of sounds on disk: see Load.
    PreviewSettings preview;
    std::string lastOpenDir;
    // Whether the main window shows its piano strip.
    bool showPianoStrip = true;
    std::vector<CShellItem> folders;
    // For each folder of `folders`, the path it was stored under when it was read from the
    // settings (empty for folders added during the run): a folder the shell can't name a path
    // for, such as one on a drive that is not attached, is written back as it was read rather
    // than lost.
    std::vector<std::string> storedFolderPaths;
    // The names of the MIDI input and of the devices for sounds on disk as the file held them.
    CStoredDeviceName storedMidiIn;
    CStoredDeviceName storedFileSoundFont;
    CStoredDeviceName storedFileMidiOut;

    // Reads the file. `startPreview` runs when the file asks for previewing at start, once
    // the MIDI input is known and before the device map is read.
    void Load(const CProfile& profile, const SettingsDevices& devices,
              const std::function<void()>& startPreview);
    void Save(const CProfile& profile, const SettingsDevices& devices) const;

    // Takes what the settings sheet returned; a device the user moved to another no longer
    // writes back the name it was read as.
    void TakeEdited(const PreviewSettings& edited);

    void AddFolder(const CShellItem& folder);
    // Removes every folder listed under `listedPath` (as the tree shows it).
    void RemoveFolder(const std::string& listedPath);
};
