#include "browser/TreeAccessible.h"

#include "base/CallbackGuard.h"
#include "base/StandardBackedAccessible.h"

#include <commctrl.h>

#include <string>

namespace {

bool PlatformNamesItems(HWND tree)
{
    if (!TreeView_GetRoot(tree))
        return true;
    IAccessible* object = StandardAccessible(tree);
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

// The tree itself is answered by the platform's object; its items here.
class CTreeAccessible final : public CStandardBackedAccessible {
public:
    CTreeAccessible(HWND tree, IAccessible* standard)
        : CStandardBackedAccessible(standard)
        , m_tree(tree)
    {
    }

    // IAccessible
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
        if (IsAccessibleSelf(child))
            return m_standard->get_accName(child, name);
        HTREEITEM item = Item(child);
        // The methods that build text of their own can throw; the others call the platform.
        return GuardCallback("IAccessible::get_accName", HRESULT{E_FAIL},
                             [&] { return item ? AccessibleText(TextOf(m_tree, item), name) : E_INVALIDARG; });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        *value = nullptr;
        if (IsAccessibleSelf(child))
            return m_standard->get_accValue(child, value);
        // As Windows' own tree reader does: the item's depth, 0 at the top.
        HTREEITEM item = Item(child);
        return GuardCallback("IAccessible::get_accValue", HRESULT{E_FAIL}, [&] {
            return item ? AccessibleText(std::to_wstring(DepthOf(m_tree, item)), value) : E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return ForSelf(child, text, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (IsAccessibleSelf(child))
            return m_standard->get_accRole(child, role);
        return Item(child) ? AccessibleNumber(ROLE_SYSTEM_OUTLINEITEM, role) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (IsAccessibleSelf(child))
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
        return AccessibleNumber(flags, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override
    {
        return ForSelf(child, text, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        *file = nullptr;
        return IsAccessibleSelf(child) ? m_standard->get_accHelpTopic(file, child, topic) : S_FALSE;
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
        if (IsAccessibleSelf(child))
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
        if (IsAccessibleSelf(child))
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
        return IsAccessibleSelf(start) ? m_standard->accNavigate(direction, start, end) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        TVHITTESTINFO hit = {};
        hit.pt = {x, y};
        ScreenToClient(m_tree, &hit.pt);
        if (HTREEITEM item = TreeView_HitTest(m_tree, &hit); item && (hit.flags & TVHT_ONITEM))
            return AccessibleNumber(IdOf(m_tree, item), child);
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return IsAccessibleSelf(child) ? m_standard->accDoDefaultAction(child) : E_NOTIMPL;
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
        return AccessibleNumber(id, out);
    }

    HRESULT ForSelf(VARIANT child, BSTR* text, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*))
    {
        *text = nullptr;
        if (IsAccessibleSelf(child))
            return (m_standard->*get)(child, text);
        return Item(child) ? S_FALSE : E_INVALIDARG;
    }

    HWND m_tree;
};

} // namespace

LRESULT TreeAccessibleResult(HWND tree, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || PlatformNamesItems(tree))
        return 0;
    IAccessible* standard = StandardAccessible(tree);
    if (!standard)
        return 0;
    auto* object = new CTreeAccessible(tree, standard);
    LRESULT result = LresultFromObject(kAccessibleIid, wParam, object);
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
