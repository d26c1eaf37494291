#include "midi/MidiPortBase.h"

#include "midi/MidiResult.h"
#include "midi/WinMidiApi.h"

#include <cstdio>
#include <cstring>

namespace {

// Product names are at most MAXPNAMELEN - 1 characters; a driver that fills the whole field
// without a terminator must not make us read past it.
std::string ProductName(const char (&field)[MAXPNAMELEN])
{
    return std::string(field, strnlen(field, MAXPNAMELEN - 1));
}

} // namespace

std::uint32_t CMidiPortBase::DeviceCount() const
{
    const WinMidiApi& api = MidiApi();
    return m_direction == MidiDirection::Output ? api.outGetNumDevs() : api.inGetNumDevs();
}

std::uint32_t CMidiPortBase::ReadProductName(std::uint32_t id, std::string& name) const
{
    const WinMidiApi& api = MidiApi();
    MMRESULT result;
    if (m_direction == MidiDirection::Output) {
        MIDIOUTCAPSA caps = {};
        result = api.outGetDevCaps(id, &caps, sizeof caps);
        if (result == MMSYSERR_NOERROR)
            name = ProductName(caps.szPname);
    } else {
        MIDIINCAPSA caps = {};
        result = api.inGetDevCaps(id, &caps, sizeof caps);
        if (result == MMSYSERR_NOERROR)
            name = ProductName(caps.szPname);
    }
    return result;
}

int CMidiPortBase::SelectId(std::uint32_t id)
{
    if (id >= DeviceCount())
        return kMidiBadDeviceId;
    m_deviceId = static_cast<std::int32_t>(id);
    return kMidiOk;
}

int CMidiPortBase::TakePlatformResult(std::uint32_t platformResult)
{
    m_lastResult = platformResult;
    return platformResult == MMSYSERR_NOERROR ? kMidiOk : kMidiPlatformFailed;
}

void CMidiPortBase::ListDeviceNames(std::vector<std::string>& names, bool numbered) const
{
    const std::uint32_t count = DeviceCount();
    names.resize(count);
    for (std::uint32_t id = 0; id < count; ++id) {
        std::string name;
        ReadProductName(id, name);
        if (numbered) {
            char line[16 + MAXPNAMELEN];
            std::snprintf(line, sizeof line, "%d  %s", static_cast<int>(id), name.c_str());
            name = line;
        }
        names[id] = name;
    }
}

int CMidiPortBase::GetDeviceName(std::int32_t id, std::string& name)
{
    if (id < 0 || static_cast<std::uint32_t>(id) >= DeviceCount())
        return kMidiBadDeviceId;
    std::string read;
    const int result = TakePlatformResult(ReadProductName(static_cast<std::uint32_t>(id), read));
    if (result == kMidiOk)
        name = read;
    return result;
}

int CMidiPortBase::FindDevice(const std::string& name, std::int32_t& id)
{
    const std::uint32_t count = DeviceCount();
    int found = -1;
    for (std::uint32_t candidate = 0; candidate < count; ++candidate) {
        std::string candidateName;
        if (GetDeviceName(static_cast<std::int32_t>(candidate), candidateName) == kMidiOk &&
            candidateName == name)
            found = static_cast<int>(candidate);
    }
    if (found < 0)
        return kMidiNoSuchDevice;
    id = found;
    return kMidiOk;
}

const char* CMidiPortBase::GetErrorText() const
{
    return MidiErrorText(m_lastResult);
}
