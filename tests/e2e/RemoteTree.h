#pragma once
// Reads the tree view of another process. Tree messages carry pointers that the system does
// not copy between processes, so every record the tree writes goes into memory allocated in
// the tree's own process and is read back from there.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

struct RemoteTreeItem {
    HTREEITEM handle = nullptr;
    int depth = 0; // 1 for the top-level items, as the program counts its tree levels
    std::string text;
    bool expanded = false;
    bool selected = false; // the tree's selected item (its caret)
    bool hasChildren = false;
    int image = -1;
    int selectedImage = -1;
    bool shown = false;     // its text rectangle lies in the tree's visible area
    POINT centre = {0, 0};  // middle of its text, in screen coordinates, when shown
};

// One block of memory in another process, freed when the owner goes.
class CRemoteBlock {
public:
    CRemoteBlock(HANDLE process, SIZE_T size);
    ~CRemoteBlock();
    CRemoteBlock(const CRemoteBlock&) = delete;
    CRemoteBlock& operator=(const CRemoteBlock&) = delete;

    bool Valid() const { return m_address != nullptr; }
    char* Address() const { return static_cast<char*>(m_address); }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const;
    bool Read(SIZE_T offset, void* data, SIZE_T size) const;

private:
    HANDLE m_process;
    void* m_address;
};

class CRemoteTree {
public:
    // `tree` belongs to another process (or to this one: it works the same).
    explicit CRemoteTree(HWND tree);
    ~CRemoteTree();
    CRemoteTree(const CRemoteTree&) = delete;
    CRemoteTree& operator=(const CRemoteTree&) = delete;

    // Why the tree can't be read, or empty when it can.
    const std::string& Problem() const { return m_problem; }
    // Every item, collapsed branches included (or left out when `openBranchesOnly`), in
    // display order (depth first).
    std::vector<RemoteTreeItem> Items(bool openBranchesOnly = false);

private:
    bool ReadItem(HTREEITEM handle, RemoteTreeItem& item);
    void ReadPlace(RemoteTreeItem& item);
    void Walk(HTREEITEM first, int depth, bool branchOpen, HTREEITEM caret,
              std::vector<RemoteTreeItem>& items);
    bool m_openBranchesOnly = false;
    HTREEITEM Next(HTREEITEM item, WPARAM relation);

    HWND m_tree;
    HANDLE m_process = nullptr;
    std::unique_ptr<CRemoteBlock> m_block;
    std::string m_problem;
};
