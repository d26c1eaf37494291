#pragma once
// Fills the sound tree from scratch: the banks of every SoundFont device with their presets,
// then every listed folder with its SoundFont and wave files, their presets and subfolders.

#include "browser/SoundTree.h"
#include "engine/SoundFontManager.h"
#include "midi/DeviceMap.h"
#include "settings/SettingsModel.h"
#include "shell/ShellItem.h"

#include <string>
#include <vector>

class CTreeBuilder {
public:
    // A folder item at this level still has room in the level table for its files (one level
    // down) and their presets (two levels down).
    static constexpr int kDeepestFolderLevel = CSoundTree::kDeepestLevel - 2;

    // `storedPaths` holds, for each of `folders` in turn, the path it was stored under: a folder
    // the shell can't find is listed under it. Folders deeper than `deepestFolderLevel` are not
    // listed: the level table ends there.
    CTreeBuilder(CSoundTree& tree, CSoundFontManager& manager, CDeviceMap& deviceMap,
                 const std::vector<CShellItem>& folders, std::vector<std::string> storedPaths = {},
                 int deepestFolderLevel = kDeepestFolderLevel);

    // Rebuilds the whole tree. With no SoundFont device it shows a message, owned by `owner`,
    // and leaves the tree as it was.
    void Refresh(HWND owner);

private:
    void ListDevice(int device);
    void ListBankPresets(int device, int bank, const std::string& path);
    void ListEnginePresets(int device, int bank);
    void ListFolder(const CShellItem& folder, const std::string& storedPath);
    void ListFiles(const CShellItem& folder, int level);
    // `path` is the file's path, already asked for by the caller.
    void ListSoundFontFile(const CShellItem& file, const std::string& path, int level);
    void Insert(int level, const TreeItemRecord& record, const char* format, ...);

    CSoundTree& m_tree;
    CSoundFontManager& m_manager;
    CDeviceMap& m_deviceMap;
    const std::vector<CShellItem>& m_folders;
    std::vector<std::string> m_storedPaths;
    int m_deepestFolderLevel;
};

// The name a "user bank" shows: the file's name without folder and without its last extension.
std::string BaseNameOf(const std::string& path);
// The extension of a path or name: from its last dot to the end, after the last separator.
std::string ExtensionOf(const std::string& name);
