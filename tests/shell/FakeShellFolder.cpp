#include "tests/shell/FakeShellFolder.h"

#include <cstring>

namespace {

// An item identifier of one item holding one byte, the child's index, and the terminator.
LPITEMIDLIST NewChildId(std::size_t index)
{
    auto* bytes = static_cast<BYTE*>(CoTaskMemAlloc(5));
    if (!bytes)
        return nullptr;
    bytes[0] = 3;
    bytes[1] = 0;
    bytes[2] = static_cast<BYTE>(index);
    bytes[3] = 0;
    bytes[4] = 0;
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

class FakeEnumerator : public IEnumIDList {
public:
    explicit FakeEnumerator(std::size_t count)
        : m_count(count)
    {
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IEnumIDList) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    STDMETHODIMP Next(ULONG wanted, LPITEMIDLIST* items, ULONG* fetched) override
    {
        ULONG given = 0;
        for (; given < wanted && m_next < m_count; ++given)
            items[given] = NewChildId(m_next++);
        if (fetched)
            *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        m_next += count;
        return m_next <= m_count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumIDList** copy) override
    {
        *copy = nullptr;
        return E_NOTIMPL;
    }

private:
    virtual ~FakeEnumerator() = default;

    ULONG m_references = 1;
    std::size_t m_count;
    std::size_t m_next = 0;
};

} // namespace

FakeShellFolder::FakeShellFolder(std::vector<FakeChild> children)
    : m_children(std::move(children))
{
}

STDMETHODIMP FakeShellFolder::QueryInterface(REFIID iid, void** object)
{
    if (iid != IID_IUnknown && iid != IID_IShellFolder) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeShellFolder::AddRef()
{
    return ++m_references;
}

STDMETHODIMP_(ULONG) FakeShellFolder::Release()
{
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP FakeShellFolder::ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*)
{
    return E_NOTIMPL;
}

STDMETHODIMP FakeShellFolder::EnumObjects(HWND, SHCONTF flags, IEnumIDList** enumerator)
{
    m_enumFlags.push_back(flags);
    *enumerator = new FakeEnumerator(m_children.size());
    return S_OK;
}

STDMETHODIMP FakeShellFolder::BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void** object)
{
    *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeShellFolder::BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void** object)
{
    *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeShellFolder::CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST)
{
    return E_NOTIMPL;
}

STDMETHODIMP FakeShellFolder::CreateViewObject(HWND, REFIID, void** object)
{
    *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeShellFolder::GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* attributes)
{
    // The shell answers the attributes that all the items share, of those asked for.
    SFGAOF shared = *attributes;
    for (UINT i = 0; i < count; ++i) {
        const FakeChild* child = ChildOf(items[i]);
        if (!child)
            return E_INVALIDARG;
        shared &= child->attributes;
    }
    *attributes = shared;
    return S_OK;
}

STDMETHODIMP FakeShellFolder::GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void** object)
{
    *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeShellFolder::GetDisplayNameOf(LPCITEMIDLIST item, SHGDNF flags, STRRET* name)
{
    const FakeChild* child = ChildOf(item);
    if (!child)
        return E_INVALIDARG;
    const bool shown = !(flags & SHGDN_FORPARSING) && !child->shownName.empty();
    name->uType = STRRET_CSTR;
    lstrcpynA(name->cStr, (shown ? child->shownName : child->name).c_str(), sizeof name->cStr);
    return S_OK;
}

STDMETHODIMP FakeShellFolder::SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*)
{
    return E_NOTIMPL;
}

const FakeChild* FakeShellFolder::ChildOf(LPCITEMIDLIST item) const
{
    const auto* bytes = reinterpret_cast<const BYTE*>(item);
    if (!item || bytes[0] != 3 || bytes[1] != 0 || bytes[2] >= m_children.size())
        return nullptr;
    return &m_children[bytes[2]];
}
