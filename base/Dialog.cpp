#include "base/Dialog.h"

#include "base/CallbackGuard.h"

CDialog::CDialog(UINT templateId, HWND parent)
    : m_parent(parent)
    , m_templateId(templateId)
{
}

HINSTANCE CDialog::ResourceModule()
{
    return GetModuleHandleA(nullptr);
}

INT_PTR CDialog::DoModal()
{
    return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(m_templateId), m_parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::OnCommand(WORD, WORD, HWND)
{
    return false;
}

bool CDialog::OnNotify(NMHDR*, LRESULT&)
{
    return false;
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

INT_PTR CDialog::ReturnResult(HWND window, UINT message, LRESULT result)
{
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message whose handler failed counts as not handled: the platform's default applies.
    return GuardCallback("dialog procedure", static_cast<INT_PTR>(FALSE), [&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            auto* dialog = reinterpret_cast<CDialog*>(lParam);
            SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
            dialog->m_hWnd = window;
            return dialog->OnInitDialog();
        }
        auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
        if (!dialog)
            return FALSE;
        INT_PTR handled = dialog->Dispatch(message, wParam, lParam);
        if (message == WM_NCDESTROY)
            dialog->m_hWnd = nullptr;
        return handled;
    });
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        if (id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    case WM_NOTIFY:
        if (!OnNotify(reinterpret_cast<NMHDR*>(lParam), result))
            return FALSE;
        return ReturnResult(m_hWnd, message, result);
    default:
        if (!OnMessage(message, wParam, lParam, result))
            return FALSE;
        return ReturnResult(m_hWnd, message, result);
    }
}
