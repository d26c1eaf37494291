#include "dialogs/PropSheet.h"

CPropSheet::CPropSheet(const char* caption, HWND parent, UINT firstPage)
    : CPropertySheet(caption, parent, firstPage)
{
    AddPage(m_page);
}

void CPropSheet::SetValues(const PreviewSettings& settings)
{
    m_page.m_values = settings;
}

PreviewSettings CPropSheet::Values() const
{
    return m_page.m_values;
}

bool RunSettingsSheet(HWND parent, PreviewSettings& settings)
{
    CPropSheet sheet(kSettingsSheetCaption, parent, 0);
    sheet.SetValues(settings);
    if (sheet.DoModal() != IDOK)
        return false;
    settings = sheet.Values();
    return true;
}
