#include "bench/RefreshFloor.h"

#include "sf2/PresetReader.h"
#include "shell/ComRef.h"
#include "shell/ShellMalloc.h"
#include "shell/StrRet.h"

#include <commctrl.h>

#include <utility>

namespace {

std::string DisplayNameOf(IShellFolder* folder, LPCITEMIDLIST child, const CShellMalloc& malloc)
{
    STRRET answer = {};
    if (FAILED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &answer)))
        return std::string();
    return StrRetToText(answer, child, malloc);
}

std::string PathOf(LPCITEMIDLIST absolute)
{
    char path[MAX_PATH] = {};
    return SHGetPathFromIDListA(absolute, path) ? path : std::string();
}

// Names every child that `folder` lists with `flags`; with `subfolders`, keeps their absolute
// lists (the caller frees them), otherwise frees them at once.
std::size_t NameChildren(IShellFolder* folder, LPCITEMIDLIST parent, SHCONTF flags, const CShellMalloc& malloc,
                         std::vector<LPITEMIDLIST>* subfolders)
{
    IEnumIDList* rawEnumerator = nullptr;
    if (folder->EnumObjects(nullptr, flags, &rawEnumerator) != S_OK || !rawEnumerator)
        return 0;
    ComRef<IEnumIDList> enumerator(rawEnumerator);
    std::size_t named = 0;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (enumerator->Next(1, &child, &fetched) == S_OK && fetched == 1) {
        std::string name = DisplayNameOf(folder, child, malloc);
        LPITEMIDLIST absolute = ILCombine(parent, child);
        std::string path = PathOf(absolute);
        named += !name.empty() && !path.empty();
        malloc.Free(child);
        if (subfolders)
            subfolders->push_back(absolute);
        else
            ILFree(absolute);
    }
    return named;
}

} // namespace

std::size_t WalkFolders(LPCITEMIDLIST root)
{
    CShellMalloc malloc;
    IShellFolder* rawDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&rawDesktop)))
        return 0;
    ComRef<IShellFolder> desktop(rawDesktop);

    // The listed folder is named as any other item: by its parent, and with its path.
    IShellFolder* rawParent = nullptr;
    LPCITEMIDLIST last = nullptr;
    std::size_t named = 0;
    if (SUCCEEDED(SHBindToParent(root, IID_IShellFolder, reinterpret_cast<void**>(&rawParent), &last))) {
        ComRef<IShellFolder> parent(rawParent);
        named += !DisplayNameOf(parent.get(), last, malloc).empty() && !PathOf(root).empty();
    }

    std::vector<LPITEMIDLIST> stack{ILClone(root)};
    std::vector<LPITEMIDLIST> subfolders;
    while (!stack.empty()) {
        LPITEMIDLIST folderList = stack.back();
        stack.pop_back();
        IShellFolder* rawFolder = nullptr;
        if (SUCCEEDED(desktop->BindToObject(folderList, nullptr, IID_IShellFolder,
                                            reinterpret_cast<void**>(&rawFolder)))) {
            ComRef<IShellFolder> folder(rawFolder);
            named += NameChildren(folder.get(), folderList, SHCONTF_NONFOLDERS, malloc, nullptr);
            subfolders.clear();
            named += NameChildren(folder.get(), folderList, SHCONTF_FOLDERS, malloc, &subfolders);
            stack.insert(stack.end(), subfolders.begin(), subfolders.end());
        }
        ILFree(folderList);
    }
    return named;
}

std::size_t ReadEveryPresetList(const std::vector<std::string>& paths)
{
    std::vector<PresetHeader> entries;
    std::size_t presets = 0;
    for (const std::string& path : paths) {
        if (ReadPresetHeaders(path, entries))
            presets += entries.size();
    }
    return presets;
}

namespace {

std::string ItemText(HWND tree, HTREEITEM item)
{
    char text[512] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

void CaptureBelow(HWND tree, HTREEITEM parent, int level, TreeShape& shape)
{
    HTREEITEM child = parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
    for (; child; child = TreeView_GetNextSibling(tree, child)) {
        shape.levels.push_back(level);
        shape.texts.push_back(ItemText(tree, child));
        CaptureBelow(tree, child, level + 1, shape);
    }
}

} // namespace

TreeShape CaptureShape(HWND tree)
{
    TreeShape shape;
    CaptureBelow(tree, TVI_ROOT, 1, shape);
    return shape;
}

void InsertShape(HWND tree, const TreeShape& shape)
{
    std::vector<HTREEITEM> parents(1, TVI_ROOT);
    TVINSERTSTRUCTA insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    for (std::size_t i = 0; i < shape.levels.size(); ++i) {
        const std::size_t level = static_cast<std::size_t>(shape.levels[i]);
        insert.hParent = parents[level - 1];
        insert.item.pszText = const_cast<char*>(shape.texts[i].c_str());
        insert.item.iImage = static_cast<int>(level);
        insert.item.iSelectedImage = static_cast<int>(level);
        insert.item.lParam = static_cast<LPARAM>(i);
        auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        parents.resize(level + 1);
        parents[level] = item;
    }
}
