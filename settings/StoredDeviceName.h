#pragma once
// A device setting that the settings file names. The name read at start is written back at
// exit for as long as the user leaves the setting alone, so a device absent this session (an
// unplugged keyboard) is not replaced in the file by the device used in its place.
// Needs no Windows header.

#include <string>

class CStoredDeviceName {
public:
    // The name the file held; not called when the file held none.
    void Read(const std::string& name)
    {
        m_name = name;
        m_kept = true;
    }
    // The user chose a device for the setting: from now on the chosen device's name is written.
    void Chosen() { m_kept = false; }
    // What to write, given the name of the device the setting holds now.
    std::string ToWrite(const std::string& currentName) const { return m_kept ? m_name : currentName; }

private:
    std::string m_name;
    bool m_kept = false;
};
