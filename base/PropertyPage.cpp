#include "base/PropertyPage.h"

#include <commctrl.h>

CPropertyPage::CPropertyPage(UINT templateId)
    : CDialog(templateId, nullptr)
{
}

PROPSHEETPAGEA CPropertyPage::Describe()
{
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = ResourceModule();
    page.pszTemplate = MAKEINTRESOURCEA(m_templateId);
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A page's WM_INITDIALOG carries the sheet's copy of the page record, not the object.
    if (message == WM_INITDIALOG) {
        auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        auto* page = reinterpret_cast<CPropertyPage*>(record->lParam);
        lParam = reinterpret_cast<LPARAM>(static_cast<CDialog*>(page));
    }
    return DialogProc(window, message, wParam, lParam);
}

bool CPropertyPage::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header->hwndFrom != GetParent(m_hWnd))
        return false;
    switch (header->code) {
    case PSN_APPLY:
        OnOK();
        // The same notification serves Apply and OK; only OK closes the sheet.
        if (reinterpret_cast<PSHNOTIFY*>(header)->lParam)
            m_closedWithOK = true;
        result = PSNRET_NOERROR;
        return true;
    case PSN_RESET:
        OnCancel();
        m_closedWithOK = false;
        result = 0;
        return true;
    default:
        return false;
    }
}

void CPropertyPage::SetModified()
{
    PropSheet_Changed(GetParent(m_hWnd), m_hWnd);
}
