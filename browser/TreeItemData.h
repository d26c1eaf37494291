#pragma once
// The record behind every item of the sound tree, and the list that owns the records.

#include "sf2/SoundFontDamage.h"
#include "shell/ShellItem.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

enum class TreeItemKind : std::uint8_t {
    LoadedRoot = 10,
    LoadedBank = 11,
    BankPreset = 12,
    Device = 13,
    DiskRoot = 20,
    ListedFolder = 21,
    SubFolder = 22,
    SoundFontFile = 23,
    FilePreset = 24,
    WaveFile = 25,
    // A .sf2 file whose preset list can't be read; `damage` says why.
    DamagedSoundFontFile = 26,
    // Stands alone in an empty "Sound Files on disk": chosen, it asks for a folder to add.
    AddFolderPrompt = 27,
};

// The values an item is inserted with; numbers keep their low eight bits.
struct TreeItemRecord {
    TreeItemKind kind = TreeItemKind::LoadedRoot;
    std::uint8_t device = 0;
    std::uint8_t bank = 0;
    std::uint8_t fileBank = 0; // 128 and above: a percussion preset
    std::uint8_t preset = 0;
    bool softwareDevice = false; // for Device: one of the software card's, with its own picture
    CShellItem item;           // the folder or file on disk, for the disk kinds
    std::string listedPath;    // a listed folder's path (ListedPathOf), for "Remove"
    SoundFontDamage damage = SoundFontDamage::None; // for DamagedSoundFontFile
};

class CTreeItemList;

// One tree item's record; the tree holds a plain pointer to it as the item's parameter.
class CTreeItemData : public TreeItemRecord {
public:
    CTreeItemData(const TreeItemRecord& record, CTreeItemData* previous);
    // Unlinks the record from its neighbours.
    virtual ~CTreeItemData();
    CTreeItemData(const CTreeItemData&) = delete;
    CTreeItemData& operator=(const CTreeItemData&) = delete;

    CTreeItemData* Next() const { return m_next; }
    CTreeItemData* Previous() const { return m_previous; }

    // The item this record stands behind.
    HTREEITEM handle = nullptr;
    // Whether the item's children have been inserted (or it has none to list): they are listed
    // when it is first opened.
    bool childrenListed = false;

private:
    friend class CTreeItemList;
    CTreeItemData* m_next = nullptr;
    CTreeItemData* m_previous = nullptr;
};

// Owns every record, in the order the items were inserted.
class CTreeItemList {
public:
    CTreeItemList() = default;
    virtual ~CTreeItemList();
    CTreeItemList(const CTreeItemList&) = delete;
    CTreeItemList& operator=(const CTreeItemList&) = delete;

    CTreeItemData* Append(const TreeItemRecord& record);
    // Destroys every record, first to last.
    void Clear();

    CTreeItemData* First() const { return m_first; }
    CTreeItemData* Last() const { return m_last; }

private:
    CTreeItemData* m_first = nullptr;
    CTreeItemData* m_last = nullptr;
};
