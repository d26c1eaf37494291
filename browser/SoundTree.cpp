#include "browser/SoundTree.h"

#include "base/WideText.h"

namespace {

// Longer item texts are cut to this many UTF-16 units, never inside a surrogate pair.
constexpr std::size_t kLongestItemText = 255;

std::wstring ItemText(const char* text)
{
    std::wstring wide = WidenUtf8(text);
    if (wide.size() > kLongestItemText) {
        std::size_t cut = kLongestItemText;
        if (wide[cut - 1] >= 0xD800 && wide[cut - 1] <= 0xDBFF)
            --cut;
        wide.resize(cut);
    }
    return wide;
}

} // namespace

void CSoundTree::Attach(HWND tree, const TreeImages* images)
{
    m_tree = tree;
    m_images = images;
}

HTREEITEM CSoundTree::InsertChild(HTREEITEM parent, const char* text, const TreeItemRecord& record, bool hasChildren)
{
    ItemImages images = m_images ? ImagesFor(*m_images, record) : ItemImages{0, 0};
    CTreeItemData* data = m_records.Append(record);

    std::wstring wide = ItemText(text);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    // Without a count of children the control shows a button exactly when there are children.
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | (hasChildren ? TVIF_CHILDREN : 0);
    insert.item.pszText = &wide[0];
    insert.item.iImage = images.normal;
    insert.item.iSelectedImage = images.selected;
    insert.item.cChildren = hasChildren ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    data->handle = reinterpret_cast<HTREEITEM>(SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    // An item without a button has nothing to list when opened.
    data->childrenListed = !hasChildren;
    return data->handle;
}

void CSoundTree::ReplaceRecord(HTREEITEM item, const TreeItemRecord& record)
{
    CTreeItemData* data = RecordOf(item);
    if (!data)
        return;
    static_cast<TreeItemRecord&>(*data) = record;
    ItemImages images = m_images ? ImagesFor(*m_images, record) : ItemImages{0, 0};
    TVITEMA change = {};
    change.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    change.hItem = item;
    change.iImage = images.normal;
    change.iSelectedImage = images.selected;
    SendMessageA(m_tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

void CSoundTree::SetHasChildren(HTREEITEM item, bool hasChildren)
{
    TVITEMA change = {};
    change.mask = TVIF_CHILDREN | TVIF_HANDLE;
    change.hItem = item;
    change.cChildren = hasChildren ? 1 : 0;
    SendMessageA(m_tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

int CSoundTree::LevelOf(HTREEITEM item) const
{
    int level = 0;
    for (; item; item = TreeView_GetParent(m_tree, item))
        ++level;
    return level;
}

void CSoundTree::DeleteAll()
{
    SendMessageA(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    m_records.Clear();
}

CTreeItemData* CSoundTree::RecordOf(HTREEITEM item) const
{
    if (!item)
        return nullptr;
    TVITEMA query = {};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    if (!SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
        return nullptr;
    return reinterpret_cast<CTreeItemData*>(query.lParam);
}

CTreeItemData* CSoundTree::SelectedRecord() const
{
    return RecordOf(TreeView_GetSelection(m_tree));
}

HTREEITEM CSoundTree::LoadedRoot() const
{
    return TreeView_GetRoot(m_tree);
}

HTREEITEM CSoundTree::DeviceItem(int device) const
{
    for (HTREEITEM item = TreeView_GetChild(m_tree, LoadedRoot()); item;
         item = TreeView_GetNextSibling(m_tree, item)) {
        CTreeItemData* data = RecordOf(item);
        if (data && data->device == device)
            return item;
    }
    return nullptr;
}

HTREEITEM CSoundTree::BankItem(HTREEITEM deviceItem, int bank) const
{
    if (!deviceItem)
        return nullptr;
    for (HTREEITEM item = TreeView_GetChild(m_tree, deviceItem); item;
         item = TreeView_GetNextSibling(m_tree, item)) {
        CTreeItemData* data = RecordOf(item);
        if (data && data->bank == bank)
            return item;
    }
    return nullptr;
}
