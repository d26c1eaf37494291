#pragma once
// The settings model with the file it is read from at start and written to, once, at the end.

#include "settings/Profile.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsModel.h"

class CSettingsFile {
public:
    CSettingsFile();

    SettingsModel model;

    void Load(const SettingsDevices& devices, const std::function<void()>& startPreview);
    // Writes the model back, once, and only when it was read: a start whose engine failed
    // must not replace the user's settings with defaults. True when they had to be written
    // but no place could take them.
    bool SaveOnce(const SettingsDevices& devices);

private:
    SettingsLocation m_location;
    CProfile m_profile;
    bool m_loaded = false;
    bool m_saved = false;
};
