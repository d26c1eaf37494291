#pragma once
// Fills the sound tree. A rebuild inserts what the tree shows closed: the two roots, the
// SoundFont devices and the listed folders. Every other item is inserted when its parent is
// first opened: a device's banks, a bank's presets, a folder's SoundFont and wave files and
// subfolders, a SoundFont file's presets. Until then the parent shows an expand button, which
// it loses when it turns out to have no children.

#include "browser/LoadedBankCache.h"
#include "browser/SoundTree.h"
#include "engine/SoundFontEngine.h"
#include "midi/DeviceMap.h"
#include "settings/SettingsModel.h"
#include "shell/ShellItem.h"

#include <string>
#include <vector>

class CTreeBuilder {
public:
    // A folder item at this level still has room for its files (one level down) and their
    // presets (two levels down) above the deepest level the tree lists.
    static constexpr int kDeepestFolderLevel = CSoundTree::kDeepestLevel - 2;

    // `storedPaths` holds, for each of `folders` in turn, the path it was stored under: a folder
    // the shell can't find is listed under it. Subfolders deeper than `deepestFolderLevel` are
    // not listed.
    CTreeBuilder(CSoundTree& tree, CSoundFontEngine& manager, CDeviceMap& deviceMap, CLoadedBankCache& banks,
                 const std::vector<CShellItem>& folders, std::vector<std::string> storedPaths = {},
                 int deepestFolderLevel = kDeepestFolderLevel);

    // Rebuilds the tree closed, with the loaded SoundFonts' root open; the caller holds back its
    // drawing meanwhile. With no SoundFont device
    // it shows a message, owned by `owner`, leaves the tree as it was and answers false.
    bool Refresh(HWND owner);
    // Inserts the children of `item` unless they are already there.
    void ListChildren(HTREEITEM item);

private:
    void ListDevices(HTREEITEM root, int deviceCount);
    void ListFolders(HTREEITEM root);
    // False when the device could not be opened: its banks may be asked for again.
    bool ListBanks(HTREEITEM deviceItem, int device);
    static bool ReadBank(CSfmDevice& device, int bank, CachedBank& entry);
    bool ListBankPresets(HTREEITEM bankItem, int device, int bank);
    static bool ReadBankPresets(CSfmDevice& device, int bank, CachedBank& entry);
    static void ReadEnginePresets(CSfmDevice& device, int bank, CachedBank& entry, bool& complete);
    void ListFolder(HTREEITEM folderItem, const CShellItem& folder);
    void ListFiles(HTREEITEM folderItem, const CShellItem& folder);
    void ListSoundFontFile(HTREEITEM fileItem, const CShellItem& file);
    HTREEITEM Insert(HTREEITEM parent, const TreeItemRecord& record, bool hasChildren, const char* format, ...);

    CSoundTree& m_tree;
    CSoundFontEngine& m_manager;
    CDeviceMap& m_deviceMap;
    CLoadedBankCache& m_banks;
    const std::vector<CShellItem>& m_folders;
    std::vector<std::string> m_storedPaths;
    int m_deepestFolderLevel;
};

// The name a "user bank" shows: the file's name without folder and without its last extension.
std::string BaseNameOf(const std::string& path);
// The extension of a path or name: from its last dot to the end, after the last separator.
std::string ExtensionOf(const std::string& name);
