#pragma once
// The device map: for each SoundFont device, by name, the MIDI output device that plays it,
// the channel and whether the device takes part in the program. Needs no Windows header.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct DevMapEntry {
    std::string outDevName;    // product name of the MIDI output; empty: none chosen
    std::int32_t channel = 0;  // 0-based; not range-checked, only the low four bits are sent
    bool enabled = true;       // shown in the sound tree and usable as the default device
};

bool operator==(const DevMapEntry& a, const DevMapEntry& b);
inline bool operator!=(const DevMapEntry& a, const DevMapEntry& b) { return !(a == b); }

// Orders names by their bytes taken as unsigned, a prefix first: the order the settings file
// is written in, independent of the signedness of char.
struct UnsignedByteLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// A value: the main window holds one and the settings page edits a copy of it.
class CDeviceMap {
public:
    using Entries = std::map<std::string, DevMapEntry, UnsignedByteLess>;

    // The entry of a SoundFont device name (compared byte for byte, in full); a missing
    // entry is created with the defaults first, so every lookup leaves an entry behind.
    DevMapEntry& EntryFor(const std::string& soundFontDeviceName);
    // Whether the map holds an entry of that name, without making one.
    bool Has(const std::string& soundFontDeviceName) const;

    // Entries in key order, for saving.
    Entries::const_iterator begin() const { return m_entries.begin(); }
    Entries::const_iterator end() const { return m_entries.end(); }
    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }

    bool operator==(const CDeviceMap& other) const;
    bool operator!=(const CDeviceMap& other) const { return !(*this == other); }

private:
    Entries m_entries;
};

// The map used while the settings hold none: each SoundFont device on the sixteenth channel
// (15), enabled, played by the MIDI output of exactly the same name when there is one.
CDeviceMap DefaultDeviceMap(const std::vector<std::string>& soundFontDeviceNames,
                            const std::vector<std::string>& midiOutputNames);
