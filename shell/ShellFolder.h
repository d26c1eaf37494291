#pragma once
// Holds one reference to a shell folder. Folders are made by Desktop() and BindTo() and live
// only as long as one operation needs them.

#include "base/ComRef.h"
#include "shell/ShellMalloc.h"

#include <shlobj.h>

#include <string>

class CShellFolder {
public:
    static CShellFolder Desktop();
    // Takes over the caller's reference to `adopted`, which may be null.
    explicit CShellFolder(IShellFolder* adopted);

    CShellFolder(const CShellFolder&) = delete;
    CShellFolder& operator=(const CShellFolder&) = delete;

    // The folder that `list`, relative to this folder, names; none when it can't be bound.
    CShellFolder BindTo(LPCITEMIDLIST list) const;

    explicit operator bool() const { return m_folder != nullptr; }
    IShellFolder* operator->() const { return m_folder.get(); }

    // The name that this folder shows for `item`, one of its own (SHGDN_INFOLDER); empty text
    // when it gives none.
    std::string DisplayNameOf(LPCITEMIDLIST item) const;
    // The name by which this folder parses `item`, one of its own (a file-system object's file
    // name, extension included); empty text when it gives none.
    std::string ParsingNameOf(LPCITEMIDLIST item) const;
    // Those of the `wanted` attributes (SFGAO_*) that this folder gives `item`, one of its own;
    // none when it can't say.
    SFGAOF AttributesOf(LPCITEMIDLIST item, SFGAOF wanted) const;

private:
    std::string NameOf(LPCITEMIDLIST item, SHGDNF flags) const;

    CShellMalloc m_malloc;
    ComRef<IShellFolder> m_folder;
};
