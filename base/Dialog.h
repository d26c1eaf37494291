#pragma once
// A thin modal dialog on a resource template. The static dialog procedure stores the object
// at WM_INITDIALOG and maps messages to a few virtual handlers.

#include <windows.h>

class CDialog {
public:
    CDialog(UINT templateId, HWND parent);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the value given to EndDialog, or -1 if it could not open.
    INT_PTR DoModal();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

    // The module that holds the templates and other resources (the program itself).
    static HINSTANCE ResourceModule();

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    // Commands other than IDOK and IDCANCEL; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // Notifications from child controls; true when handled, with the result in `result`.
    virtual bool OnNotify(NMHDR* header, LRESULT& result);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Any other message; true when handled, with the result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Dialog procedures return most results through DWLP_MSGRESULT; this is the one place
    // that knows which messages return theirs directly.
    static INT_PTR ReturnResult(HWND window, UINT message, LRESULT result);

    HWND m_hWnd = nullptr;
    HWND m_parent;
    UINT m_templateId;

    // No exception leaves it: one is traced, and the message counts as not handled.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};
