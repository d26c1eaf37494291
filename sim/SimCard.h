#pragma once
// The simulated sound card: its SoundFont devices, what their banks hold and how much sound
// memory that takes. The DLL front turns each engine slot into one call here; tests set the
// card up through the switches at the end. Needs no Windows header.

#include "engine/SfmInterface.h"
#include "engine/SfmResult.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

constexpr std::size_t kSimBankCount = 128;

struct SimBank {
    std::string name;
    std::string fileName;
    std::uint64_t memoryBytes = 0;
    std::map<std::uint16_t, std::string> presetNames;
};

// A single preset or wave placed for preview.
struct SimInstrument {
    std::string name;
    std::uint64_t memoryBytes = 0;
};

struct SimDevice {
    std::string name;
    std::uint32_t totalMemory = 0;
    // Loaded SoundFonts by bank. Bank 0 is the built-in bank and never has an entry.
    std::array<std::optional<SimBank>, kSimBankCount> banks;
    // Placed instruments by location, bank << 16 | preset.
    std::map<std::uint32_t, SimInstrument> instruments;
};

// What the card keeps between program runs.
struct SimCardContents {
    std::vector<SimDevice> devices;
};

class CSimCard {
public:
    static constexpr std::size_t kDefaultDeviceCount = 2;
    static constexpr std::size_t kMaxDevices = 32;
    static constexpr std::uint32_t kDefaultMemory = 32u << 20;
    static constexpr std::uint32_t kForever = 0xFFFFFFFFu;
    static constexpr const char* kBuiltInBankName = "General MIDI";
    static constexpr const char* kUserBankName = "User Bank";

    CSimCard();
    static SimCardContents DefaultContents();
    static std::string DefaultDeviceName(std::size_t device);

    const SimCardContents& Contents() const { return m_contents; }
    // Takes over remembered contents; open marks and switches start afresh.
    void Restore(SimCardContents contents);

    std::uint16_t DeviceCount() const;
    SfmResult DeviceName(std::uint32_t device, std::string& name) const;
    SfmResult Open(std::uint32_t device);
    SfmResult Close(std::uint32_t device);
    // Leaves the bank number when the bank is loaded, writes 0xFFFF when it is empty.
    SfmResult QueryBank(std::uint32_t device, std::uint16_t& bank) const;
    SfmResult MemoryStatus(std::uint32_t device, std::uint32_t& totalBytes,
                           std::uint32_t& freeBytes) const;
    SfmResult LoadBank(std::uint32_t device, std::uint16_t bank, const std::string& path);
    SfmResult BankName(std::uint32_t device, std::uint16_t bank, std::string& name) const;
    SfmResult BankFileName(std::uint32_t device, std::uint16_t bank, std::string& fileName) const;
    SfmResult ClearBank(std::uint32_t device, std::uint16_t bank);
    SfmResult LoadPreset(std::uint32_t device, SfmLocation source, SfmLocation destination,
                         const std::string& path);
    SfmResult PresetName(std::uint32_t device, SfmLocation location, std::string& name) const;
    SfmResult ClearPreset(std::uint32_t device, SfmLocation location);
    SfmResult LoadWave(std::uint32_t device, SfmLocation location, const std::string& path);

    // Opens of the device not yet closed; 0 for a device that doesn't exist.
    std::uint32_t OpenCount(std::uint32_t device) const;

    // Switches for tests; false for an argument out of range.
    bool SetDeviceCount(std::size_t count);
    bool SetDeviceName(std::uint32_t device, const std::string& name);
    bool SetDeviceMemory(std::uint32_t device, std::uint32_t bytes);
    bool SetCapabilitiesUnreadable(std::uint32_t device, bool unreadable);
    // The next `clears` clears of the bank (kForever: all) succeed but leave it loaded.
    bool KeepBankLoaded(std::uint32_t device, std::uint16_t bank, std::uint32_t clears);
    // Queries of the bank answer `answer` instead of its own number or 0xFFFF.
    bool AnswerBankAs(std::uint32_t device, std::uint16_t bank, std::uint16_t answer);

private:
    struct Switches {
        std::uint32_t openCount = 0;
        bool capabilitiesUnreadable = false;
        std::array<std::uint32_t, kSimBankCount> clearsIgnored{};
        std::array<std::optional<std::uint16_t>, kSimBankCount> bankAnswers{};
    };

    // 0 when the device exists and is open; "Device Invalid" or "Access Not Permitted".
    SfmResult CheckOpen(std::uint32_t device) const;
    // 0 for a bank and preset that may be written; bank 0 is read-only.
    static SfmResult CheckWritable(SfmLocation location);
    // 0 when `needed` bytes fit once `released` bytes are given back.
    SfmResult CheckMemory(const SimDevice& device, std::uint64_t released,
                          std::uint64_t needed) const;
    static std::uint64_t UsedMemory(const SimDevice& device);
    SfmResult PlaceInstrument(std::uint32_t device, SfmLocation location, SimInstrument instrument);

    SimCardContents m_contents;
    std::vector<Switches> m_switches;
};
