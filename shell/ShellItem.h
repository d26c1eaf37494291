#pragma once
// One item of the shell's namespace (a folder or a file), held by its absolute item identifier
// list. A value: every item owns a private copy of its list, and copying copies the bytes. An
// item without a list is empty; it stands for the desktop.
//
// The shell is slow to name an item from its absolute list (it binds every folder on the way),
// so an item keeps its display name and its path once known, and the children that
// EnumChildren lists come with both, asked of the folder that listed them.

#include "shell/ShellMalloc.h"

#include <shlobj.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CShellFolder;
class CShellItem;
using CShellItemList = std::vector<CShellItem>;

class CShellItem {
public:
    CShellItem() = default;
    CShellItem(const CShellItem& other);
    CShellItem(CShellItem&& other) noexcept;
    // Holds a copy of `list`; the caller keeps its own.
    explicit CShellItem(LPCITEMIDLIST list);
    // Parsed from a UTF-8 path through the desktop folder; empty when that fails.
    explicit CShellItem(const std::string& path);
    ~CShellItem();

    // Empty when the allocator can't supply the memory.
    CShellItem& operator=(const CShellItem& other);
    CShellItem& operator=(CShellItem&& other) noexcept;

    bool IsEmpty() const { return m_list == nullptr; }
    // Bytes of the list, terminator included; 0 when empty.
    std::size_t GetSize() const;
    LPCITEMIDLIST GetIdList() const { return m_list; }

    // The list without its last item; empty for an item of one level or none.
    CShellItem GetParent() const;
    // The last item alone, as a list relative to the parent; empty for an empty item.
    CShellItem GetLastItem() const;
    // This list followed by `other`'s; a copy of the one that is not empty if either is.
    CShellItem Append(const CShellItem& other) const;

    // The file-system path in UTF-8; empty text when the item is not a file-system object.
    // Names and paths of this class are UTF-8 throughout.
    std::string GetPath() const;
    // The name as the shell shows it inside the parent folder; empty text when there is none.
    std::string GetDisplayName() const;
    // Whether the desktop folder compares the two as the same item.
    bool IsEqual(const CShellItem& other) const;

    // Replaces the list by the special folder's (CSIDL_*); unchanged on failure.
    HRESULT SetSpecialFolder(int csidl);
    // Shows the shell's folder picker rooted at this item: 0 when a folder was chosen (this item
    // now holds it), 1 when cancelled (unchanged), E_FAIL when no memory could be had (unchanged).
    HRESULT BrowseForFolder(const std::string& title, UINT flags);
    // Fills `children` with this folder's children (SHCONTF_* flags), as absolute items in the
    // shell's order. On failure returns the negative result; the list is left as it was when the
    // folder could not be listed at all. A listing of folders alone leaves out the folders that
    // are files too (streams, such as compressed folders).
    HRESULT EnumChildren(CShellItemList& children, SHCONTF flags) const;
    // The same with `folder`, already bound, as this item's folder.
    HRESULT EnumChildrenIn(const CShellFolder& folder, CShellItemList& children, SHCONTF flags) const;

private:
    const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(m_list); }
    // A new list of `head` and `tail` (item bytes without terminators) from this item's
    // allocator; null when it can't supply the memory.
    LPITEMIDLIST NewList(const std::uint8_t* head, std::size_t headSize, const std::uint8_t* tail = nullptr,
                         std::size_t tailSize = 0) const;
    LPITEMIDLIST CopyOf(LPCITEMIDLIST list) const;
    void Replace(LPITEMIDLIST list);
    std::string LookUpDisplayName() const;
    // The absolute item of `child`, an item of `folder`, which is this item's folder at
    // `folderPath` (empty when it has none). Named by that folder at once, which spares
    // binding it again when the name or the path is asked for.
    CShellItem ChildOf(const CShellFolder& folder, const std::string& folderPath, LPCITEMIDLIST child,
                       SFGAOF attributes) const;
    // No list, or a list of no items: the desktop, which the shell can't bind to itself.
    bool IsDesktop() const;

    // Declared first: constructed before the list is allocated, released after it is freed.
    CShellMalloc m_malloc;
    LPITEMIDLIST m_list = nullptr;
    mutable std::optional<std::string> m_displayName;
    mutable std::optional<std::string> m_path;
};
