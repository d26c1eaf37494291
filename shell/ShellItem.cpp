#include "shell/ShellItem.h"

#include "shell/IdList.h"
#include "shell/ShellFolder.h"
#include "base/WideText.h"

#include <cstring>
#include <utility>

namespace {

const std::uint8_t* BytesOf(LPCITEMIDLIST list)
{
    return reinterpret_cast<const std::uint8_t*>(list);
}

std::size_t ItemBytes(const IdListLayout& layout)
{
    return layout.size - kIdListTerminatorSize;
}

constexpr std::size_t kLongestTitle = 511;

// `folder` (a drive's root ends in a separator already) and the name of one of its items.
std::string JoinPath(const std::string& folder, const std::string& name)
{
    const char last = folder.back();
    return last == '\\' || last == '/' ? folder + name : folder + '\\' + name;
}

// Wine's desktop folder crashes on a Unix path (one beginning with a slash); Windows fails to
// parse it. Empty text names nothing.
bool IsParsablePath(const std::string& path)
{
    return !path.empty() && path[0] != '/';
}

} // namespace

CShellItem::CShellItem(const CShellItem& other)
    : m_list(CopyOf(other.m_list))
    , m_displayName(other.m_displayName)
    , m_path(other.m_path)
{
}

CShellItem::CShellItem(CShellItem&& other) noexcept
    : m_list(std::exchange(other.m_list, nullptr))
    , m_displayName(std::move(other.m_displayName))
    , m_path(std::move(other.m_path))
{
    // Every allocator holder refers to the one task allocator of the process, so the list can
    // change holders.
    other.m_displayName.reset();
    other.m_path.reset();
}

CShellItem::CShellItem(LPCITEMIDLIST list)
    : m_list(CopyOf(list))
{
}

CShellItem::CShellItem(const std::string& path)
{
    if (!IsParsablePath(path))
        return;
    CShellFolder desktop = CShellFolder::Desktop();
    if (!desktop)
        return;
    std::wstring widePath = WidenUtf8(path);
    LPITEMIDLIST parsed = nullptr;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, &widePath[0], nullptr, &parsed, nullptr)))
        m_list = CopyOf(parsed);
    m_malloc.Free(parsed);
}

CShellItem::~CShellItem()
{
    m_malloc.Free(m_list);
}

CShellItem& CShellItem::operator=(const CShellItem& other)
{
    if (this != &other) {
        Replace(nullptr);
        m_list = CopyOf(other.m_list);
        if (m_list) {
            m_displayName = other.m_displayName;
            m_path = other.m_path;
        }
    }
    return *this;
}

CShellItem& CShellItem::operator=(CShellItem&& other) noexcept
{
    std::swap(m_list, other.m_list);
    std::swap(m_displayName, other.m_displayName);
    std::swap(m_path, other.m_path);
    return *this;
}

LPITEMIDLIST CShellItem::NewList(const std::uint8_t* head, std::size_t headSize, const std::uint8_t* tail,
                                 std::size_t tailSize) const
{
    auto* bytes = static_cast<std::uint8_t*>(m_malloc.Alloc(headSize + tailSize + kIdListTerminatorSize));
    if (bytes)
        JoinIdLists(bytes, head, headSize, tail, tailSize);
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

LPITEMIDLIST CShellItem::CopyOf(LPCITEMIDLIST list) const
{
    return list ? NewList(BytesOf(list), ItemBytes(MeasureIdList(BytesOf(list)))) : nullptr;
}

void CShellItem::Replace(LPITEMIDLIST list)
{
    m_malloc.Free(m_list);
    m_list = list;
    m_displayName.reset();
    m_path.reset();
}

std::size_t CShellItem::GetSize() const
{
    return MeasureIdList(Bytes()).size;
}

bool CShellItem::IsDesktop() const
{
    return MeasureIdList(Bytes()).itemCount == 0;
}

CShellItem CShellItem::GetParent() const
{
    IdListLayout layout = MeasureIdList(Bytes());
    CShellItem parent;
    if (layout.itemCount >= 2)
        parent.m_list = parent.NewList(Bytes(), layout.lastItemOffset);
    return parent;
}

CShellItem CShellItem::GetLastItem() const
{
    IdListLayout layout = MeasureIdList(Bytes());
    CShellItem last;
    if (layout.itemCount > 0)
        last.m_list = last.NewList(Bytes() + layout.lastItemOffset, ItemBytes(layout) - layout.lastItemOffset);
    return last;
}

CShellItem CShellItem::Append(const CShellItem& other) const
{
    if (IsEmpty())
        return other;
    if (other.IsEmpty())
        return *this;
    CShellItem joined;
    joined.m_list = joined.NewList(Bytes(), ItemBytes(MeasureIdList(Bytes())), other.Bytes(),
                                   ItemBytes(MeasureIdList(other.Bytes())));
    return joined;
}

std::string CShellItem::GetPath() const
{
    if (m_path)
        return *m_path;
    wchar_t path[MAX_PATH] = {};
    if (!m_list || !SHGetPathFromIDListW(m_list, path))
        return std::string(); // asked again next time: the folder may be back by then
    m_path = NarrowToUtf8(path);
    return *m_path;
}

std::string CShellItem::GetDisplayName() const
{
    if (!m_displayName)
        m_displayName = LookUpDisplayName();
    return *m_displayName;
}

std::string CShellItem::LookUpDisplayName() const
{
    if (!m_list)
        return std::string();
    CShellFolder desktop = CShellFolder::Desktop();
    IdListLayout layout = MeasureIdList(Bytes());
    if (layout.itemCount < 2)
        return desktop.DisplayNameOf(m_list);
    CShellFolder parent = desktop.BindTo(GetParent().m_list);
    // The last item, followed by this list's terminator, is a list relative to the parent.
    return parent.DisplayNameOf(reinterpret_cast<LPCITEMIDLIST>(Bytes() + layout.lastItemOffset));
}

bool CShellItem::IsEqual(const CShellItem& other) const
{
    if (IsDesktop() || other.IsDesktop())
        return IsDesktop() && other.IsDesktop();
    std::size_t size = GetSize();
    // The same bytes name the same item: no need to ask the shell, which binds every level.
    if (size == other.GetSize() && std::memcmp(m_list, other.m_list, size) == 0)
        return true;
    CShellFolder desktop = CShellFolder::Desktop();
    return desktop && desktop->CompareIDs(0, m_list, other.m_list) == 0;
}

HRESULT CShellItem::SetSpecialFolder(int csidl)
{
    LPITEMIDLIST found = nullptr;
    HRESULT result = SHGetSpecialFolderLocation(nullptr, csidl, &found);
    if (FAILED(result) || !found)
        return FAILED(result) ? result : E_FAIL;
    LPITEMIDLIST copy = CopyOf(found);
    m_malloc.Free(found);
    if (!copy)
        return E_OUTOFMEMORY;
    Replace(copy);
    return result;
}

HRESULT CShellItem::BrowseForFolder(const std::string& title, UINT flags)
{
    auto* displayName = static_cast<wchar_t*>(m_malloc.Alloc(MAX_PATH * sizeof(wchar_t)));
    if (!displayName)
        return E_FAIL;
    // Cut as the picker has always had it; never inside a surrogate pair.
    std::wstring titleText = WidenUtf8(title);
    if (titleText.size() > kLongestTitle) {
        const bool cutsPair = titleText[kLongestTitle - 1] >= 0xD800 && titleText[kLongestTitle - 1] <= 0xDBFF;
        titleText.resize(cutsPair ? kLongestTitle - 1 : kLongestTitle);
    }

    BROWSEINFOW browse = {};
    browse.hwndOwner = nullptr;
    browse.pidlRoot = m_list;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = titleText.c_str();
    browse.ulFlags = flags;
    browse.lpfn = nullptr;
    browse.lParam = 0;
    LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
    m_malloc.Free(displayName);
    if (!chosen)
        return 1;
    LPITEMIDLIST copy = CopyOf(chosen);
    m_malloc.Free(chosen);
    if (!copy)
        return E_FAIL;
    Replace(copy);
    return 0;
}

HRESULT CShellItem::EnumChildren(CShellItemList& children, SHCONTF flags) const
{
    if (IsDesktop())
        return E_FAIL;
    CShellFolder folder = CShellFolder::Desktop().BindTo(m_list);
    if (!folder)
        return E_FAIL;
    return EnumChildrenIn(folder, children, flags);
}

HRESULT CShellItem::EnumChildrenIn(const CShellFolder& folder, CShellItemList& children, SHCONTF flags) const
{
    IEnumIDList* rawEnumerator = nullptr;
    HRESULT result = folder->EnumObjects(nullptr, flags, &rawEnumerator);
    if (FAILED(result))
        return result;
    ComRef<IEnumIDList> enumerator(rawEnumerator);
    children.clear();
    if (result == S_FALSE || !enumerator)
        return S_OK;

    const bool foldersOnly = (flags & (SHCONTF_FOLDERS | SHCONTF_NONFOLDERS)) == SHCONTF_FOLDERS;
    const std::string folderPath = GetPath();
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while ((result = enumerator->Next(1, &child, &fetched)) == S_OK && fetched == 1) {
        const SFGAOF attributes = folder.AttributesOf(child, SFGAO_STREAM | SFGAO_FILESYSTEM);
        // Windows lists .zip and .cab files among the folders; descending into one unpacks it.
        if (foldersOnly && (attributes & SFGAO_STREAM)) {
            m_malloc.Free(child);
            child = nullptr;
            continue;
        }
        CShellItem absolute = ChildOf(folder, folderPath, child, attributes);
        m_malloc.Free(child);
        child = nullptr;
        if (absolute.IsEmpty())
            return E_OUTOFMEMORY;
        children.push_back(std::move(absolute));
    }
    return FAILED(result) ? result : S_OK;
}

CShellItem CShellItem::ChildOf(const CShellFolder& folder, const std::string& folderPath, LPCITEMIDLIST child,
                               SFGAOF attributes) const
{
    CShellItem absolute;
    absolute.m_list = absolute.NewList(Bytes(), ItemBytes(MeasureIdList(Bytes())), BytesOf(child),
                                       ItemBytes(MeasureIdList(BytesOf(child))));
    if (!absolute.m_list)
        return absolute;
    absolute.m_displayName = folder.DisplayNameOf(child);
    // A file-system object in a file-system folder: its path is the folder's and its file
    // name. Anything else (inside a compressed folder or a library, say) is left to the shell
    // to answer when its path is wanted.
    if (folderPath.empty() || !(attributes & SFGAO_FILESYSTEM))
        return absolute;
    std::string name = folder.ParsingNameOf(child);
    if (!name.empty())
        absolute.m_path = JoinPath(folderPath, name);
    return absolute;
}
