#pragma once
// The sound tree control with the records behind its items and the level table that places
// each new item under the last item inserted one level up.

#include "browser/TreeImages.h"
#include "browser/TreeItemData.h"

#include <windows.h>
#include <commctrl.h>

class CSoundTree {
public:
    // Entries of the level table: 0 is the tree's root, 1 to 126 the levels of items.
    static constexpr int kLevelCount = 127;
    static constexpr int kDeepestLevel = kLevelCount - 1;

    CSoundTree();
    CSoundTree(const CSoundTree&) = delete;
    CSoundTree& operator=(const CSoundTree&) = delete;

    void Attach(HWND tree, const TreeImages* images);
    HWND Window() const { return m_tree; }

    // Inserts `text` (UTF-8, cut to 255 UTF-16 units) as the last child of the last item inserted at level - 1. A level outside
    // 1 to 126 inserts nothing and answers null.
    HTREEITEM InsertTreeItem(const char* text, int level, const TreeItemRecord& record);
    // Deletes every item, then every record.
    void DeleteAll();

    const CTreeItemList& Records() const { return m_records; }
    CTreeItemData* RecordOf(HTREEITEM item) const;
    CTreeItemData* SelectedRecord() const;

    // Finding items again after a rebuild.
    HTREEITEM LoadedRoot() const;
    HTREEITEM DeviceItem(int device) const;
    HTREEITEM BankItem(HTREEITEM deviceItem, int bank) const;

private:
    HTREEITEM levelParents[kLevelCount];
    CTreeItemList m_records;
    HWND m_tree = nullptr;
    const TreeImages* m_images = nullptr;
};
