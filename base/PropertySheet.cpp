#include "base/PropertySheet.h"

#include <commctrl.h>

CPropertySheet::CPropertySheet(const char* caption, HWND parent, UINT firstPage)
    : m_caption(caption)
    , m_parent(parent)
    , m_firstPage(firstPage)
{
}

void CPropertySheet::AddPage(CPropertyPage& page)
{
    m_pages.push_back(&page);
}

INT_PTR CPropertySheet::DoModal()
{
    std::vector<PROPSHEETPAGEA> records;
    for (CPropertyPage* page : m_pages) {
        page->ForgetClosing();
        records.push_back(page->Describe());
    }

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    header.hwndParent = m_parent;
    header.hInstance = CDialog::ResourceModule();
    header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(records.size());
    header.nStartPage = m_firstPage;
    header.ppsp = records.data();

    // Windows' own result counts an Apply followed by Cancel as a saved change, so the
    // pages, which see how the sheet closed, decide.
    if (PropertySheetA(&header) < 0)
        return -1;
    for (const CPropertyPage* page : m_pages) {
        if (page->ClosedWithOK())
            return IDOK;
    }
    return IDCANCEL;
}
