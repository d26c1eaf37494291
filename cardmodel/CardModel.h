#pragma once
// A SoundFont card as the operation table sees it: its devices, what their 127 banks and their
// placed instruments hold, how much sound memory that takes, and the rules and result codes of
// loading, clearing and naming. The simulated card adds switches for tests on top of it; the
// software card adds the sound. Needs no Windows header.

#include "engine/SfmInterface.h"
#include "engine/SfmResult.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

constexpr std::size_t kCardBankCount = 128;

struct CardBank {
    std::string name;
    std::string fileName;
    std::uint64_t memoryBytes = 0;
    std::map<std::uint16_t, std::string> presetNames;
};

// A single preset or wave placed for preview.
struct CardInstrument {
    std::string name;
    std::uint64_t memoryBytes = 0;
};

struct CardDevice {
    std::string name;
    std::uint32_t totalMemory = 0;
    // Loaded SoundFonts by bank. Bank 0 is the built-in bank and never has an entry.
    std::array<std::optional<CardBank>, kCardBankCount> banks;
    // Placed instruments by location, bank << 16 | preset.
    std::map<std::uint32_t, CardInstrument> instruments;
};

// What the card keeps between program runs.
struct CardContents {
    std::vector<CardDevice> devices;
};

// What a card is like when it remembers nothing.
struct CardDefaults {
    std::string deviceNamePrefix;
    std::uint32_t memoryBytes = 0;
    std::size_t deviceCount = 0;
};

// Where a placed instrument's sound comes from: a preset of a SoundFont file or a wave file.
struct CardInstrumentSource {
    std::string path;
    bool wave = false;
    SfmLocation preset{0, 0};
};

std::uint32_t CardInstrumentKey(SfmLocation location);

class CCardModel {
public:
    static constexpr std::size_t kMaxDevices = 32;
    static constexpr const char* kBuiltInBankName = "General MIDI";
    static constexpr const char* kUserBankName = "User Bank";

    explicit CCardModel(CardDefaults defaults);
    virtual ~CCardModel() = default;
    CCardModel(const CCardModel&) = default;
    CCardModel& operator=(const CCardModel&) = default;

    static CardContents DefaultContents(const CardDefaults& defaults);
    static std::string DefaultDeviceName(const CardDefaults& defaults, std::size_t device);
    const CardDefaults& Defaults() const { return m_defaults; }

    const CardContents& Contents() const { return m_contents; }
    // Takes over remembered contents; open marks start afresh.
    virtual void Restore(CardContents contents);

    std::uint16_t DeviceCount() const;
    virtual SfmResult DeviceName(std::uint32_t device, std::string& name) const;
    SfmResult Open(std::uint32_t device);
    SfmResult Close(std::uint32_t device);
    // Leaves the bank number when the bank is loaded, writes 0xFFFF when it is empty.
    virtual SfmResult QueryBank(std::uint32_t device, std::uint16_t& bank) const;
    SfmResult MemoryStatus(std::uint32_t device, std::uint32_t& totalBytes,
                           std::uint32_t& freeBytes) const;
    SfmResult LoadBank(std::uint32_t device, std::uint16_t bank, const std::string& path);
    SfmResult BankName(std::uint32_t device, std::uint16_t bank, std::string& name) const;
    SfmResult BankFileName(std::uint32_t device, std::uint16_t bank, std::string& fileName) const;
    virtual SfmResult ClearBank(std::uint32_t device, std::uint16_t bank);
    SfmResult LoadPreset(std::uint32_t device, SfmLocation source, SfmLocation destination,
                         const std::string& path);
    SfmResult PresetName(std::uint32_t device, SfmLocation location, std::string& name) const;
    SfmResult ClearPreset(std::uint32_t device, SfmLocation location);
    SfmResult LoadWave(std::uint32_t device, SfmLocation location, const std::string& path);

    // Opens of the device not yet closed; 0 for a device that doesn't exist.
    std::uint32_t OpenCount(std::uint32_t device) const;

    // False for an argument out of range. New devices take the defaults.
    virtual bool SetDeviceCount(std::size_t count);
    bool SetDeviceName(std::uint32_t device, const std::string& name);
    bool SetDeviceMemory(std::uint32_t device, std::uint32_t bytes);
    // The memory of devices added from now on.
    void SetDefaultMemory(std::uint32_t bytes) { m_defaults.memoryBytes = bytes; }

protected:
    // The sound behind the contents. A load changes the contents only once its Attach
    // succeeded, after every rule and the memory check passed; an Attach failure is the load's
    // result. Detach follows a bank or instrument taken out of the contents.
    virtual SfmResult AttachBank(std::uint32_t device, std::uint16_t bank, const std::string& path);
    virtual void DetachBank(std::uint32_t device, std::uint16_t bank);
    virtual SfmResult AttachInstrument(std::uint32_t device, SfmLocation location,
                                       const CardInstrumentSource& source);
    virtual void DetachInstrument(std::uint32_t device, SfmLocation location);

    // Empties a bank whatever the open marks say, without Detach: for a bank whose sound
    // never came.
    void ForgetBank(std::uint32_t device, std::uint16_t bank);
    // 0 when the device exists and is open; "Device Invalid" or "Access Not Permitted".
    SfmResult CheckOpen(std::uint32_t device) const;
    // 0 for a bank and preset that may be written; bank 0 is read-only.
    static SfmResult CheckWritable(SfmLocation location);

private:
    // 0 when `needed` bytes fit once `released` bytes are given back.
    static SfmResult CheckMemory(const CardDevice& device, std::uint64_t released,
                                 std::uint64_t needed);
    static std::uint64_t UsedMemory(const CardDevice& device);
    SfmResult PlaceInstrument(std::uint32_t device, SfmLocation location,
                              const CardInstrumentSource& source, CardInstrument instrument);

    CardDefaults m_defaults;
    CardContents m_contents;
    std::vector<std::uint32_t> m_openCounts;
};
