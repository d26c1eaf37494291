#include "browser/TreePlace.h"

#include <commctrl.h>

#include <map>
#include <tuple>

namespace {

HTREEITEM FirstChild(HWND tree, HTREEITEM parent)
{
    return parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
}

bool IsOpen(HWND tree, HTREEITEM item)
{
    return (TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

} // namespace

bool CTreePlace::Identity::operator==(const Identity& other) const
{
    return kind == other.kind && device == other.device && bank == other.bank && fileBank == other.fileBank &&
           preset == other.preset && rank == other.rank && name == other.name;
}

// Loaded items are known by their device, bank and preset; items on disk by the name the shell
// gives them (a listed folder by its path) and their bank and preset. The rank is set by the caller.
CTreePlace::Identity CTreePlace::IdentityOf(const CTreeItemData& record)
{
    Identity identity;
    identity.kind = record.kind;
    switch (record.kind) {
    case TreeItemKind::Device:
    case TreeItemKind::LoadedBank:
    case TreeItemKind::BankPreset:
        identity.device = record.device;
        identity.bank = record.bank;
        identity.fileBank = record.fileBank;
        identity.preset = record.preset;
        break;
    case TreeItemKind::ListedFolder:
        identity.name = record.listedPath;
        break;
    case TreeItemKind::SubFolder:
    case TreeItemKind::SoundFontFile:
    case TreeItemKind::WaveFile:
        identity.name = record.item.GetDisplayName();
        break;
    case TreeItemKind::FilePreset:
        identity.bank = record.bank;
        identity.fileBank = record.fileBank;
        identity.preset = record.preset;
        break;
    default:
        break;
    }
    return identity;
}

CTreePlace::Path CTreePlace::PathOf(const CSoundTree& tree, HTREEITEM item)
{
    HWND window = tree.Window();
    Path path;
    for (; item; item = TreeView_GetParent(window, item)) {
        const CTreeItemData* record = tree.RecordOf(item);
        if (!record)
            return {};
        Identity identity = IdentityOf(*record);
        for (HTREEITEM before = TreeView_GetPrevSibling(window, item); before;
             before = TreeView_GetPrevSibling(window, before)) {
            const CTreeItemData* other = tree.RecordOf(before);
            if (other) {
                Identity otherIdentity = IdentityOf(*other);
                otherIdentity.rank = identity.rank;
                identity.rank += otherIdentity == identity;
            }
        }
        path.insert(path.begin(), std::move(identity));
    }
    return path;
}

CTreePlace CTreePlace::Capture(const CSoundTree& tree)
{
    CTreePlace place;
    Path path;
    place.CaptureOpen(tree, TVI_ROOT, path);
    if (HTREEITEM selected = TreeView_GetSelection(tree.Window()))
        place.m_selected = PathOf(tree, selected);
    return place;
}

// Walks the open branches only: what the user sees.
void CTreePlace::CaptureOpen(const CSoundTree& tree, HTREEITEM parent, Path& path)
{
    HWND window = tree.Window();
    // How many siblings so far stood for the same thing, by identity without its rank.
    std::map<std::tuple<TreeItemKind, int, int, int, int, std::string>, int> seen;
    for (HTREEITEM item = FirstChild(window, parent); item; item = TreeView_GetNextSibling(window, item)) {
        const CTreeItemData* record = tree.RecordOf(item);
        if (!record)
            continue;
        Identity identity = IdentityOf(*record);
        identity.rank = seen[std::make_tuple(identity.kind, identity.device, identity.bank, identity.fileBank,
                                             identity.preset, identity.name)]++;
        if (!IsOpen(window, item))
            continue;
        path.push_back(identity);
        m_open.push_back(path);
        CaptureOpen(tree, item, path);
        path.pop_back();
    }
}

HTREEITEM CTreePlace::Find(const CSoundTree& tree, const Path& path, const ListChildren& listChildren)
{
    HWND window = tree.Window();
    HTREEITEM parent = TVI_ROOT;
    for (const Identity& wanted : path) {
        if (parent != TVI_ROOT)
            listChildren(parent);
        HTREEITEM found = nullptr;
        int rank = 0;
        for (HTREEITEM item = FirstChild(window, parent); item && !found; item = TreeView_GetNextSibling(window, item)) {
            const CTreeItemData* record = tree.RecordOf(item);
            if (!record)
                continue;
            Identity identity = IdentityOf(*record);
            identity.rank = wanted.rank;
            if (identity == wanted && rank++ == wanted.rank)
                found = item;
        }
        if (!found)
            return nullptr;
        parent = found;
    }
    return parent == TVI_ROOT ? nullptr : parent;
}

void CTreePlace::Restore(const CSoundTree& tree, const ListChildren& listChildren, bool select) const
{
    HWND window = tree.Window();
    for (const Path& path : m_open) {
        if (HTREEITEM item = Find(tree, path, listChildren)) {
            listChildren(item);
            TreeView_Expand(window, item, TVE_EXPAND);
        }
    }
    if (!select || m_selected.empty())
        return;
    if (HTREEITEM item = Find(tree, m_selected, listChildren))
        TreeView_SelectItem(window, item);
}
