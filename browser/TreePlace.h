#pragma once
// Where the user is in the sound tree: the branches open on screen and the selected item. It is
// taken before the tree is rebuilt and given back after, wherever those items still exist. An
// item is known by what it stands for (its kind, device and bank, or its folder or file and
// preset), not by its text or its place in the list, and among siblings that stand for the same
// thing (a folder listed twice) by its rank.

#include "browser/SoundTree.h"

#include <functional>
#include <string>
#include <vector>

class CTreePlace {
public:
    // `listChildren` inserts the children of an item whose branch has not been opened yet.
    using ListChildren = std::function<void(HTREEITEM)>;

    static CTreePlace Capture(const CSoundTree& tree);

    // Opens the branches again, parents first, then selects the item, unless `select` is false.
    void Restore(const CSoundTree& tree, const ListChildren& listChildren, bool select) const;

    bool IsEmpty() const { return m_open.empty() && m_selected.empty(); }

private:
    struct Identity {
        TreeItemKind kind = TreeItemKind::LoadedRoot;
        int device = 0;
        int bank = 0;
        int fileBank = 0;
        int preset = 0;
        std::string name;
        int rank = 0;
        bool operator==(const Identity& other) const;
    };
    using Path = std::vector<Identity>;

    static Identity IdentityOf(const CTreeItemData& record);
    static Path PathOf(const CSoundTree& tree, HTREEITEM item);
    void CaptureOpen(const CSoundTree& tree, HTREEITEM parent, Path& path);
    static HTREEITEM Find(const CSoundTree& tree, const Path& path, const ListChildren& listChildren);

    std::vector<Path> m_open; // parents before their children
    Path m_selected;
};
