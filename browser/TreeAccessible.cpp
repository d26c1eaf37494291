#include "browser/TreeAccessible.h"

#include "base/CallbackGuard.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

namespace {

// Declared here: MinGW's oleacc and uuid libraries both define IID_IAccessible, and linking
// the two clashes.
const GUID kAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

IAccessible* StandardObject(HWND tree)
{
    IAccessible* object = nullptr;
    if (FAILED(CreateStdAccessibleObject(tree, OBJID_CLIENT, kAccessible, reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

bool PlatformNamesItems(HWND tree)
{
    if (!TreeView_GetRoot(tree))
        return true;
    IAccessible* object = StandardObject(tree);
    if (!object)
        return true;
    long children = 0;
    object->get_accChildCount(&children);
    object->Release();
    return children > 0;
}

// Whether the item can be opened: it has children, or shows a button for children not yet listed.
bool CanOpen(HWND tree, HTREEITEM item)
{
    if (TreeView_GetChild(tree, item))
        return true;
    TVITEMW query = {};
    query.mask = TVIF_CHILDREN | TVIF_HANDLE;
    query.hItem = item;
    return SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) && query.cChildren > 0;
}

HTREEITEM ItemOf(HWND tree, long id)
{
    HTREEITEM item = TreeView_GetRoot(tree);
    for (long i = 1; item && i < id; ++i)
        item = TreeView_GetNextVisible(tree, item);
    return id >= 1 ? item : nullptr;
}

long IdOf(HWND tree, HTREEITEM wanted)
{
    long id = 1;
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextVisible(tree, item), ++id) {
        if (item == wanted)
            return id;
    }
    return 0;
}

int DepthOf(HWND tree, HTREEITEM item)
{
    int depth = 0;
    while ((item = TreeView_GetParent(tree, item)) != nullptr)
        ++depth;
    return depth;
}

std::wstring TextOf(HWND tree, HTREEITEM item)
{
    wchar_t text[512] = {};
    TVITEMW query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = static_cast<int>(sizeof text / sizeof text[0]);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

HRESULT Text(const std::wstring& text, BSTR* out)
{
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Number(long value, VARIANT* out)
{
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The tree itself is answered by the platform's object; its items here.
class CTreeAccessible final : public IAccessible {
public:
    CTreeAccessible(HWND tree, IAccessible* standard)
        : m_tree(tree)
        , m_standard(standard)
    {
    }
    CTreeAccessible(const CTreeAccessible&) = delete;
    CTreeAccessible& operator=(const CTreeAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            m_standard->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: screen readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        *count = 0;
        for (HTREEITEM item = TreeView_GetRoot(m_tree); item; item = TreeView_GetNextVisible(m_tree, item))
            ++*count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        *object = nullptr;
        return Item(child) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        *name = nullptr;
        if (IsSelf(child))
            return m_standard->get_accName(child, name);
        HTREEITEM item = Item(child);
        // The methods that build text of their own can throw; the others call the platform.
        return GuardCallback("IAccessible::get_accName", HRESULT{E_FAIL},
                             [&] { return item ? Text(TextOf(m_tree, item), name) : E_INVALIDARG; });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        *value = nullptr;
        if (IsSelf(child))
            return m_standard->get_accValue(child, value);
        // As Windows' own tree reader does: the item's depth, 0 at the top.
        HTREEITEM item = Item(child);
        return GuardCallback("IAccessible::get_accValue", HRESULT{E_FAIL}, [&] {
            return item ? Text(std::to_wstring(DepthOf(m_tree, item)), value) : E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return ForSelf(child, text, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (IsSelf(child))
            return m_standard->get_accRole(child, role);
        return Item(child) ? Number(ROLE_SYSTEM_OUTLINEITEM, role) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (IsSelf(child))
            return m_standard->get_accState(child, state);
        HTREEITEM item = Item(child);
        if (!item)
            return E_INVALIDARG;
        long flags = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (item == TreeView_GetSelection(m_tree)) {
            flags |= STATE_SYSTEM_SELECTED;
            if (GetFocus() == m_tree)
                flags |= STATE_SYSTEM_FOCUSED;
        }
        if (CanOpen(m_tree, item))
            flags |= (TreeView_GetItemState(m_tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) ? STATE_SYSTEM_EXPANDED
                                                                                         : STATE_SYSTEM_COLLAPSED;
        return Number(flags, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override
    {
        return ForSelf(child, text, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        *file = nullptr;
        return IsSelf(child) ? m_standard->get_accHelpTopic(file, child, topic) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override
    {
        return ForSelf(child, text, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (GetFocus() != m_tree)
            return m_standard->get_accFocus(focus);
        return SelectedItem(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override { return SelectedItem(selection); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override
    {
        return ForSelf(child, text, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        if (IsSelf(child))
            return m_standard->accSelect(flags, child);
        HTREEITEM item = Item(child);
        if (!item)
            return E_INVALIDARG;
        if (flags & SELFLAG_TAKEFOCUS)
            SetFocus(m_tree);
        if (flags & SELFLAG_TAKESELECTION)
            TreeView_SelectItem(m_tree, item);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (IsSelf(child))
            return m_standard->accLocation(left, top, width, height, child);
        HTREEITEM item = Item(child);
        RECT rect = {};
        if (!item || !TreeView_GetItemRect(m_tree, item, &rect, TRUE))
            return E_INVALIDARG;
        MapWindowPoints(m_tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return IsSelf(start) ? m_standard->accNavigate(direction, start, end) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        TVHITTESTINFO hit = {};
        hit.pt = {x, y};
        ScreenToClient(m_tree, &hit.pt);
        if (HTREEITEM item = TreeView_HitTest(m_tree, &hit); item && (hit.flags & TVHT_ONITEM))
            return Number(IdOf(m_tree, item), child);
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return IsSelf(child) ? m_standard->accDoDefaultAction(child) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    HTREEITEM Item(const VARIANT& child) const
    {
        return child.vt == VT_I4 && IsWindow(m_tree) ? ItemOf(m_tree, child.lVal) : nullptr;
    }

    HRESULT SelectedItem(VARIANT* out) const
    {
        long id = IdOf(m_tree, TreeView_GetSelection(m_tree));
        if (id == 0) {
            VariantInit(out);
            return S_FALSE;
        }
        return Number(id, out);
    }

    HRESULT ForSelf(VARIANT child, BSTR* text, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*))
    {
        *text = nullptr;
        if (IsSelf(child))
            return (m_standard->*get)(child, text);
        return Item(child) ? S_FALSE : E_INVALIDARG;
    }

    LONG m_references = 1;
    HWND m_tree;
    IAccessible* m_standard;
};

} // namespace

LRESULT TreeAccessibleResult(HWND tree, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || PlatformNamesItems(tree))
        return 0;
    IAccessible* standard = StandardObject(tree);
    if (!standard)
        return 0;
    auto* object = new CTreeAccessible(tree, standard);
    LRESULT result = LresultFromObject(kAccessible, wParam, object);
    object->Release();
    return result;
}

void AnnounceTreeSelection(HWND tree)
{
    if (PlatformNamesItems(tree))
        return;
    if (long id = IdOf(tree, TreeView_GetSelection(tree)); id != 0) {
        NotifyWinEvent(EVENT_OBJECT_SELECTION, tree, OBJID_CLIENT, id);
        if (GetFocus() == tree)
            NotifyWinEvent(EVENT_OBJECT_FOCUS, tree, OBJID_CLIENT, id);
    }
}
