#include "dialogs/PropSheet.h"

#include "base/Diagnostics.h"
#include "engine/LoadedSoftControl.h"

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

void CPropSheet::AddSoftCardPage(const SoftCardSettings& settings)
{
    m_softCardPage.m_values = settings;
    AddPage(m_softCardPage);
}

namespace {

// The page refused what is out of range, so the card refuses nothing it is handed.
void GiveSoftCardSettings(HWND parent, const SoftControlTable& control, const SoftCardSettings& settings)
{
    SfmResult result = control.SetSettings(&settings);
    if (result != kSfmSuccess)
        ErrorBox(parent, MB_ICONSTOP | MB_OK, "Error", "Error changing the software synth's settings (%s)",
                 SfmResultText(result));
}

} // namespace

bool RunSettingsSheet(HWND parent, PreviewSettings& settings)
{
    CPropSheet sheet(kSettingsSheetCaption, parent, 0);
    sheet.SetValues(settings);
    const SoftControlTable* softCard = LoadedSoftControl();
    SoftCardSettings softCardBefore;
    if (softCard && softCard->GetSettings(&softCardBefore) == kSfmSuccess)
        sheet.AddSoftCardPage(softCardBefore);
    else
        softCard = nullptr;
    if (sheet.DoModal() != IDOK)
        return false;
    settings = sheet.Values();
    if (softCard && sheet.SoftCardValues() != softCardBefore)
        GiveSoftCardSettings(parent, *softCard, sheet.SoftCardValues());
    return true;
}
