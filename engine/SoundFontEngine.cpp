#include "engine/SoundFontEngine.h"

void CSoundFontEngine::AddLibrary(const SfmOperationTable& operations, CardPathRules paths, LibraryKind kind)
{
    m_libraries.push_back({&operations, paths, kind});
}

void CSoundFontEngine::RemoveLibraries()
{
    m_libraries.clear();
}

EngineResult CSoundFontEngine::Locate(int index, Address& address)
{
    if (m_libraries.empty())
        return m_missingLibrary;
    EngineResult failure = EngineResult::Of(EngineResult::kDeviceIndexOutOfRange);
    int first = 0;
    for (const Library& library : m_libraries) {
        std::uint16_t count = 0;
        // A failed count lists no devices rather than whatever the engine may have left behind.
        if (EngineResult counted = EngineResult::Of(library.operations->DeviceCount(&count)); counted.Failed()) {
            failure = counted;
            continue;
        }
        if (index >= first && index < first + count) {
            address = {&library, static_cast<std::uint32_t>(index - first)};
            return EngineResult();
        }
        first += count;
    }
    return failure;
}

EngineResult CSoundFontEngine::CountDevices(int& count)
{
    count = 0;
    EngineResult result;
    for (const Library& library : m_libraries) {
        std::uint16_t devices = 0;
        if (EngineResult counted = EngineResult::Of(library.operations->DeviceCount(&devices)); counted.Failed())
            result = counted;
        else
            count += devices;
    }
    return result;
}

int CSoundFontEngine::GetDeviceCount()
{
    int count = 0;
    CountDevices(count);
    return count;
}

EngineResult CSoundFontEngine::GetDeviceCapabilities(int index, SfmCapabilities& capabilities)
{
    Address address;
    if (EngineResult located = Locate(index, address); located.Failed())
        return located;
    return EngineResult::Of(address.library->operations->Capabilities(address.index, &capabilities));
}

EngineResult CSoundFontEngine::GetDeviceNames(std::vector<std::string>& names)
{
    names.clear();
    const int count = GetDeviceCount();
    for (int index = 0; index < count; ++index) {
        std::string name;
        if (EngineResult named = GetDeviceName(index, name); named.Failed())
            return named;
        names.push_back(name);
    }
    return EngineResult();
}

EngineResult CSoundFontEngine::GetDeviceName(int index, std::string& name)
{
    SfmCapabilities capabilities = {};
    EngineResult result = GetDeviceCapabilities(index, capabilities);
    if (result.Ok())
        name = SfmCapabilitiesName(capabilities);
    return result;
}

bool CSoundFontEngine::IsSoftwareDevice(int index)
{
    Address address;
    return Locate(index, address).Ok() && address.library->kind == LibraryKind::Software;
}

bool CSoundFontEngine::FindDevice(const std::string& name, int& index)
{
    const int count = GetDeviceCount();
    int match = -1;
    // No early exit: among devices of the same name the last one wins.
    for (int candidate = 0; candidate < count; ++candidate) {
        std::string candidateName;
        if (GetDeviceName(candidate, candidateName).Ok() && candidateName == name)
            match = candidate;
    }
    if (match < 0)
        return false;
    index = match;
    return true;
}

CSfmDevice CSoundFontEngine::Open(int index)
{
    Address address;
    if (EngineResult located = Locate(index, address); located.Failed())
        return CSfmDevice(located);
    return CSfmDevice(*address.library->operations, static_cast<std::uint16_t>(address.index),
                      address.library->paths, &m_openDevices);
}
