#pragma once
// The sound tree control with the records behind its items. An item may show an expand button
// before its children are inserted: they are listed when it is first opened.

#include "browser/TreeImages.h"
#include "browser/TreeItemData.h"

#include <windows.h>
#include <commctrl.h>

class CSoundTree {
public:
    // The deepest level the tree lists (1 for top-level items): below a folder of a path that
    // the platform cuts short, the shell would list the same folder again and again.
    static constexpr int kDeepestLevel = 126;

    CSoundTree() = default;
    CSoundTree(const CSoundTree&) = delete;
    CSoundTree& operator=(const CSoundTree&) = delete;

    void Attach(HWND tree, const TreeImages* images);
    HWND Window() const { return m_tree; }

    // Inserts `text` (UTF-8, cut to 255 UTF-16 units) as the last child of `parent` (TVI_ROOT
    // for a top-level item). With
    // `hasChildren`, the item shows an expand button though it has no children yet.
    HTREEITEM InsertChild(HTREEITEM parent, const char* text, const TreeItemRecord& record, bool hasChildren);
    // Gives the item another record, and the pictures of its kind.
    void ReplaceRecord(HTREEITEM item, const TreeItemRecord& record);
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
    CTreeItemList m_records;
    HWND m_tree = nullptr;
    const TreeImages* m_images = nullptr;
};
