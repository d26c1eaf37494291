#include "app/PianoStripAccessible.h"

#include "app/PianoKeys.h"
#include "app/PianoStrip.h"

#include <oleacc.h>

#include <string>

namespace {

// Declared here: MinGW's oleacc and uuid libraries both define IID_IAccessible.
const GUID kAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

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

// The strip itself is answered by the platform's object where it can (parent, navigation),
// with its name, role and value here; its keys all here.
class CPianoStripAccessible final : public IAccessible {
public:
    CPianoStripAccessible(HWND strip, IAccessible* standard) : m_strip(strip), m_standard(standard) {}
    CPianoStripAccessible(const CPianoStripAccessible&) = delete;
    CPianoStripAccessible& operator=(const CPianoStripAccessible&) = delete;

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

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
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
        if (IsSelf(child))
            return Text(L"Piano keys", name);
        const int note = Note(child);
        return note >= 0 ? Text(NoteName(note), name) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        *value = nullptr;
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        if (!IsSelf(child) || !strip)
            return Note(child) >= 0 ? S_FALSE : E_INVALIDARG;
        return Text(L"velocity " + std::to_wstring(strip->Velocity()), value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        *text = nullptr;
        return IsSelf(child) || Note(child) >= 0 ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (IsSelf(child))
            return Number(ROLE_SYSTEM_GROUPING, role);
        return Note(child) >= 0 ? Number(ROLE_SYSTEM_PUSHBUTTON, role) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        if (IsSelf(child)) {
            long flags = STATE_SYSTEM_FOCUSABLE;
            if (GetFocus() == m_strip)
                flags |= STATE_SYSTEM_FOCUSED;
            if (!IsWindowVisible(m_strip))
                flags |= STATE_SYSTEM_INVISIBLE;
            return Number(flags, state);
        }
        const int note = Note(child);
        if (note < 0)
            return E_INVALIDARG;
        return Number(strip && strip->IsPressed(note) ? STATE_SYSTEM_PRESSED : 0, state);
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
        return IsSelf(child) ? m_standard->accSelect(flags, child) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (IsSelf(child))
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
        return IsSelf(start) ? m_standard->accNavigate(direction, start, end) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        const CPianoStrip* strip = CPianoStrip::Of(m_strip);
        POINT point = {x, y};
        ScreenToClient(m_strip, &point);
        if (strip) {
            const CPianoKeys keys = Keys(*strip);
            if (const int note = keys.NoteAt(point); note >= 0)
                return Number(note - keys.FirstNote() + 1, child);
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

    LONG m_references = 1;
    HWND m_strip;
    IAccessible* m_standard;
};

} // namespace

LRESULT PianoStripAccessibleResult(HWND strip, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(strip, OBJID_CLIENT, kAccessible, reinterpret_cast<void**>(&standard))))
        return 0;
    auto* object = new CPianoStripAccessible(strip, standard);
    LRESULT result = LresultFromObject(kAccessible, wParam, object);
    object->Release();
    return result;
}
