#pragma once
// What the program's accessible objects share: a control that the platform's own object (the
// standard one) answers for where it can, and whose parts an object of ours describes.

#include <windows.h>
#include <oleacc.h>

#include <string>

// Declared here: MinGW's oleacc and uuid libraries both define IID_IAccessible, and linking
// the two clashes.
inline const GUID kAccessibleIid = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The platform's object for a window's client area; null where it can't make one.
inline IAccessible* StandardAccessible(HWND window)
{
    IAccessible* object = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, kAccessibleIid, reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

inline HRESULT AccessibleText(const std::wstring& text, BSTR* out)
{
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

inline HRESULT AccessibleNumber(long value, VARIANT* out)
{
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

inline bool IsAccessibleSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// IUnknown, IDispatch (screen readers call IAccessible directly) and the parent, for an
// object that holds a reference to its control's standard object. Made with one reference.
class CStandardBackedAccessible : public IAccessible {
public:
    CStandardBackedAccessible(const CStandardBackedAccessible&) = delete;
    CStandardBackedAccessible& operator=(const CStandardBackedAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kAccessibleIid) {
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
        if (left == 0)
            delete this;
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

protected:
    // Takes over the caller's reference to `standard`.
    explicit CStandardBackedAccessible(IAccessible* standard) : m_standard(standard) {}
    virtual ~CStandardBackedAccessible() { m_standard->Release(); }

    IAccessible* const m_standard;

private:
    LONG m_references = 1;
};
