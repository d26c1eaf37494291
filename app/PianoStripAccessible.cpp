#include "app/PianoStripAccessible.h"

#include "app/PianoKeys.h"
#include "app/PianoStrip.h"
#include "base/StandardBackedAccessible.h"

#include <string>

namespace {

// The strip itself is answered by the platform's object where it can (parent, navigation),
// with its name, role and value here; its keys all here.
class CPianoStripAccessible final : public CStandardBackedAccessible {
public:
    CPianoStripAccessible(HWND strip, IAccessible* standard) : CStandardBackedAccessible(standard), m_strip(strip) {}

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        *count = strip ? Keys(*strip).KeyCount() : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        *object = nullptr;
        return Note(child) >= 0 ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        *name = nullptr;
        if (IsAccessibleSelf(child))
            return AccessibleText(L"Piano keys", name);
        const int note = Note(child);
        return note >= 0 ? AccessibleText(NoteName(note), name) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        *value = nullptr;
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        if (!IsAccessibleSelf(child) || !strip)
            return Note(child) >= 0 ? S_FALSE : E_INVALIDARG;
        return AccessibleText(L"velocity " + std::to_wstring(strip->Velocity()), value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        *text = nullptr;
        return IsAccessibleSelf(child) || Note(child) >= 0 ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (IsAccessibleSelf(child))
            return AccessibleNumber(ROLE_SYSTEM_GROUPING, role);
        return Note(child) >= 0 ? AccessibleNumber(ROLE_SYSTEM_PUSHBUTTON, role) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        if (IsAccessibleSelf(child)) {
            long flags = STATE_SYSTEM_FOCUSABLE;
            if (GetFocus() == m_strip)
                flags |= STATE_SYSTEM_FOCUSED;
            if (!IsWindowVisible(m_strip))
                flags |= STATE_SYSTEM_INVISIBLE;
            return AccessibleNumber(flags, state);
        }
        const int note = Note(child);
        if (note < 0)
            return E_INVALIDARG;
        return AccessibleNumber(strip && strip->IsPressed(note) ? STATE_SYSTEM_PRESSED : 0, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override
    {
        *text = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long*) override
    {
        *file = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override
    {
        *text = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return m_standard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        VariantInit(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override
    {
        *text = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        return IsAccessibleSelf(child) ? m_standard->accSelect(flags, child) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (IsAccessibleSelf(child))
            return m_standard->accLocation(left, top, width, height, child);
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        const int note = Note(child);
        if (!strip || note < 0)
            return E_INVALIDARG;
        RECT key = Keys(*strip).KeyRect(note);
        MapWindowPoints(m_strip, nullptr, reinterpret_cast<POINT*>(&key), 2);
        *left = key.left;
        *top = key.top;
        *width = key.right - key.left;
        *height = key.bottom - key.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return IsAccessibleSelf(start) ? m_standard->accNavigate(direction, start, end) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        POINT point = {x, y};
        ScreenToClient(m_strip, &point);
        if (strip) {
            const CPianoKeys keys = Keys(*strip);
            if (const int note = keys.NoteAt(point); note >= 0)
                return AccessibleNumber(note - keys.FirstNote() + 1, child);
        }
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    static CPianoKeys Keys(const CPianoStrip& strip) { return CPianoKeys(strip.KeysArea(), strip.Octave()); }

    // The note of a child id, or -1.
    int Note(const VARIANT& child) const
    {
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        if (!strip || child.vt != VT_I4 || child.lVal < 1)
            return -1;
        const CPianoKeys keys = Keys(*strip);
        return child.lVal <= keys.KeyCount() ? keys.FirstNote() + static_cast<int>(child.lVal) - 1 : -1;
    }

    HWND m_strip;
};

} // namespace

LRESULT PianoStripAccessibleResult(HWND strip, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    IAccessible* standard = StandardAccessible(strip);
    if (!standard)
        return 0;
    auto* object = new CPianoStripAccessible(strip, standard);
    LRESULT result = LresultFromObject(kAccessibleIid, wParam, object);
    object->Release();
    return result;
}
