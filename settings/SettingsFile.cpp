#include "settings/SettingsFile.h"

CSettingsFile::CSettingsFile()
    : m_location(CSettingsLocation::ForThisProgram())
    , m_profile(m_location.path, false)
{
}

void CSettingsFile::Load(const SettingsDevices& devices, const std::function<void()>& startPreview)
{
    model.Load(m_profile, devices, startPreview);
    m_loaded = true;
}

bool CSettingsFile::SaveOnce(const SettingsDevices& devices)
{
    bool lost = false;
    if (m_loaded && !m_saved) {
        model.Save(m_profile, devices);
        lost = !m_location.writable;
    }
    m_saved = true;
    return lost;
}
