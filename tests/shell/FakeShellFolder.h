#pragma once
// A shell folder of the test's own making: children with the names and attributes a test
// chooses, for what no folder under Wine shows (Wine has no compressed folders: a .zip file
// there is a plain file, while Windows calls it a folder and a stream at once).

#include <shlobj.h>

#include <string>
#include <vector>

struct FakeChild {
    std::string name; // the parsing name
    SFGAOF attributes;
    std::string shownName = {}; // when not the parsing name, as with extensions hidden
};

// Lists every child for any enumeration flags, as the file-system folder of Windows lists a
// compressed folder among the folders. Each child's item identifier holds its index.
class FakeShellFolder : public IShellFolder {
public:
    // With one reference, the caller's.
    explicit FakeShellFolder(std::vector<FakeChild> children);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override;
    STDMETHODIMP EnumObjects(HWND, SHCONTF flags, IEnumIDList** enumerator) override;
    STDMETHODIMP BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override;
    STDMETHODIMP BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override;
    STDMETHODIMP CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override;
    STDMETHODIMP CreateViewObject(HWND, REFIID, void**) override;
    STDMETHODIMP GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* attributes) override;
    STDMETHODIMP GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override;
    STDMETHODIMP GetDisplayNameOf(LPCITEMIDLIST item, SHGDNF flags, STRRET* name) override;
    STDMETHODIMP SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override;

    // The flags of every enumeration asked for, in order.
    const std::vector<SHCONTF>& EnumFlags() const { return m_enumFlags; }

private:
    virtual ~FakeShellFolder() = default;
    const FakeChild* ChildOf(LPCITEMIDLIST item) const;

    ULONG m_references = 1;
    std::vector<FakeChild> m_children;
    std::vector<SHCONTF> m_enumFlags;
};
