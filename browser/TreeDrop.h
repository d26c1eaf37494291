#pragma once
// Files and folders dropped from Explorer onto the main window: SoundFont files are loaded into
// the device or bank they were dropped on (anywhere else: the default device), folders are added
// to the listed folders, and everything else is left alone.

#include "browser/SoundTree.h"
#include "browser/TreeCommands.h"
#include "settings/SettingsModel.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

class CTreeDrop {
public:
    CTreeDrop(CSoundTree& tree, CTreeCommands& commands, SettingsModel& settings);

    // Lets `owner` take dropped files; its messages and WM_DROPFILES come to it.
    void Accept(HWND owner);
    // WM_DROPFILES: acts on the dropped items and releases the drop data.
    void OnDropFiles(HDROP drop);

private:
    struct Dropped {
        std::vector<std::string> soundFonts;
        std::vector<std::string> folders;
    };
    // Where a SoundFont dropped on the tree goes; bank 0 means the device's highest free bank.
    struct Target {
        TreeItemKind kind = TreeItemKind::LoadedRoot;
        bool onItem = false;
        int device = 0;
        int bank = 0;
    };

    static Dropped ReadDropped(HDROP drop);
    Target TargetAt(HDROP drop) const;
    // Loads each file, reporting each failure on its own; true when one or more were loaded.
    bool LoadSoundFonts(const std::vector<std::string>& files, const Target& target, int& device, int& bank);
    void AddFolders(const std::vector<std::string>& folders);

    CSoundTree& m_tree;
    CTreeCommands& m_commands;
    SettingsModel& m_settings;
    HWND m_owner = nullptr;
};
