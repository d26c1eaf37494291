#pragma once
// What the engine reported of the banks of each device, kept between rebuilds of the tree: a
// rebuild asks the engine again only for what changed. A load or delete forgets its bank, a
// clear its device, and a refresh the user asks for forgets everything (another program may
// have changed the card).

#include "engine/BankNumbers.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct CachedPreset {
    std::uint8_t preset = 0;
    std::uint8_t fileBank = 0;
    std::string text;
};

struct CachedBank {
    enum class State : std::uint8_t { Unknown, Empty, Loaded };
    State state = State::Unknown;
    std::string name; // as the tree shows it
    std::string path; // the file it was loaded from, as the engine reports it
    bool presetsKnown = false;
    std::vector<CachedPreset> presets;
};

class CLoadedBankCache {
public:
    using DeviceBanks = std::array<CachedBank, kLastBank + 1>;

    // The banks of `device`, by bank number; unknown until read.
    DeviceBanks& Banks(int device) { return m_devices[device]; }

    void ForgetBank(int device, int bank);
    void ForgetDevice(int device);
    void ForgetAll() { m_devices.clear(); }

private:
    std::map<int, DeviceBanks> m_devices;
};
