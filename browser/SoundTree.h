#pragma once
// The sound tree control with the records behind its items. Items are inserted either through
// the level table, which places each new item under the last item inserted one level up, or
// under a given parent. An item may show an expand button before its children are inserted:
// they are listed when it is first opened.

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

    // Inserts `text` as the last child of the last item inserted at level - 1. A level outside
    // 1 to 126 inserts nothing and answers null.
    // With `hasChildren`, the item shows an expand button though it has no children yet.
    HTREEITEM InsertTreeItem(const char* text, int level, const TreeItemRecord& record, bool hasChildren = false);
    // Inserts `text` as the last child of `parent` (TVI_ROOT for a top-level item).
    HTREEITEM InsertChild(HTREEITEM parent, const char* text, const TreeItemRecord& record, bool hasChildren);
    // Shows or hides the item's expand button.
    void SetHasChildren(HTREEITEM item, bool hasChildren);
    // Depth of the item: 1 for top-level items.
    int LevelOf(HTREEITEM item) const;
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
    HTREEITEM Insert(HTREEITEM parent, const char* text, const TreeItemRecord& record, bool hasChildren);

    HTREEITEM levelParents[kLevelCount];
    CTreeItemList m_records;
    HWND m_tree = nullptr;
    const TreeImages* m_images = nullptr;
};
