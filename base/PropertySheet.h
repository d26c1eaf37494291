#pragma once
// A modal property sheet: the platform's frame with tabs and the OK, Cancel and Apply
// buttons around pages that the owner adds.

#include "base/PropertyPage.h"

#include <string>
#include <vector>

class CPropertySheet {
public:
    CPropertySheet(const char* caption, HWND parent, UINT firstPage);
    virtual ~CPropertySheet() = default;
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // The page must outlive the sheet's runs.
    void AddPage(CPropertyPage& page);

    // Runs the sheet modally (the parent is disabled meanwhile). IDOK when it closed with OK;
    // IDCANCEL when it closed any other way, even after Apply; -1 when it could not open.
    INT_PTR DoModal();

private:
    std::string m_caption;
    HWND m_parent;
    UINT m_firstPage;
    std::vector<CPropertyPage*> m_pages;
};
