#include "dialogs/PropSheet.h"

CPropSheet::CPropSheet(const char* caption, HWND parent, UINT firstPage)
    : CPropertySheet(caption, parent, firstPage)
{
    AddPage(m_page);
}

void CPropSheet::SetValues(const PreviewSettings& settings)
{
    m_page.m_midiInDevice = settings.midiInDevice;
    m_page.m_previewOnStartup = settings.previewOnStartup;
    m_page.m_deviceMap = settings.deviceMap;
    m_page.m_fileSoundFontDevice = settings.fileSoundFontDevice;
    m_page.m_fileMidiOutDevice = settings.fileMidiOutDevice;
    m_page.m_fileMidiOutChannel = settings.fileMidiOutChannel;
    m_page.m_fileBank = settings.fileBank;
    m_page.m_fileInstrument = settings.fileInstrument;
}

PreviewSettings CPropSheet::Values() const
{
    PreviewSettings settings;
    settings.midiInDevice = m_page.m_midiInDevice;
    settings.previewOnStartup = m_page.m_previewOnStartup;
    settings.deviceMap = m_page.m_deviceMap;
    settings.fileSoundFontDevice = m_page.m_fileSoundFontDevice;
    settings.fileMidiOutDevice = m_page.m_fileMidiOutDevice;
    settings.fileMidiOutChannel = m_page.m_fileMidiOutChannel;
    settings.fileBank = m_page.m_fileBank;
    settings.fileInstrument = m_page.m_fileInstrument;
    return settings;
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
