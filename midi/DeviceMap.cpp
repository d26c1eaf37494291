#include "midi/DeviceMap.h"

#include <algorithm>
#include <cstring>

bool UnsignedByteLess::operator()(const std::string& a, const std::string& b) const
{
    // memcmp compares bytes as unsigned char.
    const std::size_t common = std::min(a.size(), b.size());
    const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    return order != 0 ? order < 0 : a.size() < b.size();
}

DevMapEntry& CDeviceMap::EntryFor(const std::string& soundFontDeviceName)
{
    return m_entries.try_emplace(soundFontDeviceName).first->second;
}

bool CDeviceMap::operator==(const CDeviceMap& other) const
{
    return m_entries == other.m_entries;
}

bool operator==(const DevMapEntry& a, const DevMapEntry& b)
{
    return a.outDevName == b.outDevName && a.channel == b.channel && a.enabled == b.enabled;
}

bool CDeviceMap::Has(const std::string& soundFontDeviceName) const
{
    return m_entries.count(soundFontDeviceName) != 0;
}

CDeviceMap DefaultDeviceMap(const std::vector<std::string>& soundFontDeviceNames,
                            const std::vector<std::string>& midiOutputNames)
{
    constexpr std::int32_t kDefaultMapChannel = 15;
    CDeviceMap map;
    for (const std::string& name : soundFontDeviceNames) {
        DevMapEntry& entry = map.EntryFor(name);
        entry.channel = kDefaultMapChannel;
        entry.enabled = true;
        const bool outputOfSameName =
            std::find(midiOutputNames.begin(), midiOutputNames.end(), name) !=
            midiOutputNames.end();
        entry.outDevName = outputOfSameName ? name : std::string();
    }
    return map;
}
