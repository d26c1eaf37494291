#include "sim/SimCard.h"

#include "sim/GeneralMidiNames.h"
#include "sim/SimSoundFontReader.h"
#include "sim/SimWaveReader.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint16_t kBuiltInBank = 0;
constexpr std::uint16_t kLastBank = kSimBankCount - 1;
constexpr std::uint16_t kLastPreset = 127;
constexpr std::uint16_t kEmptyBank = 0xFFFF;

std::uint32_t InstrumentKey(SfmLocation location)
{
    return static_cast<std::uint32_t>(location.bank) << 16 | location.preset;
}

// A wave file's instrument is named after the file: its name without folders or extension.
std::string BaseName(const std::string& path)
{
    std::size_t start = path.find_last_of("\\/");
    std::string name = start == std::string::npos ? path : path.substr(start + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

CSimCard::CSimCard()
{
    Restore(DefaultContents());
}

std::string CSimCard::DefaultDeviceName(std::size_t device)
{
    return "Simulated Synth " + std::to_string(device + 1);
}

SimCardContents CSimCard::DefaultContents()
{
    SimCardContents contents;
    contents.devices.resize(kDefaultDeviceCount);
    for (std::size_t device = 0; device < kDefaultDeviceCount; ++device) {
        contents.devices[device].name = DefaultDeviceName(device);
        contents.devices[device].totalMemory = kDefaultMemory;
    }
    return contents;
}

void CSimCard::Restore(SimCardContents contents)
{
    m_contents = std::move(contents);
    m_switches.assign(m_contents.devices.size(), Switches());
}

std::uint16_t CSimCard::DeviceCount() const
{
    return static_cast<std::uint16_t>(m_contents.devices.size());
}

SfmResult CSimCard::DeviceName(std::uint32_t device, std::string& name) const
{
    if (device >= m_contents.devices.size() || m_switches[device].capabilitiesUnreadable)
        return kSfmDeviceInvalid;
    name = m_contents.devices[device].name;
    return kSfmSuccess;
}

SfmResult CSimCard::Open(std::uint32_t device)
{
    if (device >= m_contents.devices.size())
        return kSfmDeviceInvalid;
    ++m_switches[device].openCount;
    return kSfmSuccess;
}

SfmResult CSimCard::Close(std::uint32_t device)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        --m_switches[device].openCount;
    return result;
}

SfmResult CSimCard::CheckOpen(std::uint32_t device) const
{
    if (device >= m_contents.devices.size())
        return kSfmDeviceInvalid;
    return m_switches[device].openCount > 0 ? kSfmSuccess : kSfmAccessNotPermitted;
}

SfmResult CSimCard::CheckWritable(SfmLocation location)
{
    if (location.bank == kBuiltInBank)
        return kSfmAccessNotPermitted;
    if (location.bank > kLastBank)
        return kSfmBankIndexInvalid;
    return location.preset > kLastPreset ? kSfmPresetIndexInvalid : kSfmSuccess;
}

std::uint64_t CSimCard::UsedMemory(const SimDevice& device)
{
    std::uint64_t used = 0;
    for (const std::optional<SimBank>& bank : device.banks)
        used += bank ? bank->memoryBytes : 0;
    for (const auto& placed : device.instruments)
        used += placed.second.memoryBytes;
    return used;
}

SfmResult CSimCard::CheckMemory(const SimDevice& device, std::uint64_t released,
                                std::uint64_t needed) const
{
    std::uint64_t used = UsedMemory(device) - released;
    bool fits = used <= device.totalMemory && needed <= device.totalMemory - used;
    return fits ? kSfmSuccess : kSfmSoundMemoryInsufficient;
}

SfmResult CSimCard::QueryBank(std::uint32_t device, std::uint16_t& bank) const
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess && bank > kLastBank)
        result = kSfmBankIndexInvalid;
    if (result != kSfmSuccess) {
        bank = kEmptyBank;
        return result;
    }
    if (const std::optional<std::uint16_t>& answer = m_switches[device].bankAnswers[bank])
        bank = *answer;
    else if (bank != kBuiltInBank && !m_contents.devices[device].banks[bank])
        bank = kEmptyBank;
    return kSfmSuccess;
}

SfmResult CSimCard::MemoryStatus(std::uint32_t device, std::uint32_t& totalBytes,
                                 std::uint32_t& freeBytes) const
{
    SfmResult result = CheckOpen(device);
    if (result != kSfmSuccess)
        return result;
    const SimDevice& card = m_contents.devices[device];
    std::uint64_t used = std::min<std::uint64_t>(UsedMemory(card), card.totalMemory);
    totalBytes = card.totalMemory;
    freeBytes = static_cast<std::uint32_t>(card.totalMemory - used);
    return kSfmSuccess;
}

SfmResult CSimCard::LoadBank(std::uint32_t device, std::uint16_t bank, const std::string& path)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable({bank, 0});
    if (result != kSfmSuccess)
        return result;
    SimSoundFontContents file;
    result = SimReadSoundFont(path, file);
    if (result != kSfmSuccess)
        return result;
    SimDevice& card = m_contents.devices[device];
    std::optional<SimBank>& slot = card.banks[bank];
    // A bank loaded over gives its memory back first; when the new one doesn't fit, the old stays.
    result = CheckMemory(card, slot ? slot->memoryBytes : 0, file.sampleBytes);
    if (result != kSfmSuccess)
        return result;

    SimBank loaded;
    loaded.name = file.name.empty() ? kUserBankName : file.name;
    loaded.fileName = path;
    loaded.memoryBytes = file.sampleBytes;
    loaded.presetNames = std::move(file.presetNames);
    slot = std::move(loaded);
    return kSfmSuccess;
}

SfmResult CSimCard::BankName(std::uint32_t device, std::uint16_t bank, std::string& name) const
{
    SfmResult result = CheckOpen(device);
    if (result != kSfmSuccess)
        return result;
    if (bank == kBuiltInBank) {
        name = kBuiltInBankName;
        return kSfmSuccess;
    }
    if (bank > kLastBank || !m_contents.devices[device].banks[bank])
        return kSfmBankIndexInvalid;
    name = m_contents.devices[device].banks[bank]->name;
    return kSfmSuccess;
}

SfmResult CSimCard::BankFileName(std::uint32_t device, std::uint16_t bank,
                                 std::string& fileName) const
{
    SfmResult result = CheckOpen(device);
    if (result != kSfmSuccess)
        return result;
    // The built-in bank comes from no file.
    if (bank == kBuiltInBank) {
        fileName.clear();
        return kSfmSuccess;
    }
    if (bank > kLastBank || !m_contents.devices[device].banks[bank])
        return kSfmBankIndexInvalid;
    fileName = m_contents.devices[device].banks[bank]->fileName;
    return kSfmSuccess;
}

SfmResult CSimCard::ClearBank(std::uint32_t device, std::uint16_t bank)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable({bank, 0});
    if (result != kSfmSuccess)
        return result;
    std::uint32_t& ignored = m_switches[device].clearsIgnored[bank];
    if (ignored > 0) {
        if (ignored != kForever)
            --ignored;
        return kSfmSuccess;
    }
    SimDevice& card = m_contents.devices[device];
    card.banks[bank].reset();
    card.instruments.erase(
        card.instruments.lower_bound(InstrumentKey({bank, 0})),
        card.instruments.lower_bound(InstrumentKey({std::uint16_t(bank + 1), 0})));
    return kSfmSuccess;
}

SfmResult CSimCard::PlaceInstrument(std::uint32_t device, SfmLocation location,
                                    SimInstrument instrument)
{
    SimDevice& card = m_contents.devices[device];
    auto placed = card.instruments.find(InstrumentKey(location));
    std::uint64_t released = placed == card.instruments.end() ? 0 : placed->second.memoryBytes;
    SfmResult result = CheckMemory(card, released, instrument.memoryBytes);
    if (result == kSfmSuccess)
        card.instruments[InstrumentKey(location)] = std::move(instrument);
    return result;
}

SfmResult CSimCard::LoadPreset(std::uint32_t device, SfmLocation source, SfmLocation destination,
                               const std::string& path)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable(destination);
    SimPresetContents preset;
    if (result == kSfmSuccess)
        result = SimReadPreset(path, source.bank, source.preset, preset);
    if (result != kSfmSuccess)
        return result;
    return PlaceInstrument(device, destination, {preset.name, preset.sampleBytes});
}

SfmResult CSimCard::LoadWave(std::uint32_t device, SfmLocation location, const std::string& path)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable(location);
    std::uint64_t dataBytes = 0;
    if (result == kSfmSuccess)
        result = SimReadWave(path, dataBytes);
    if (result != kSfmSuccess)
        return result;
    return PlaceInstrument(device, location, {BaseName(path), dataBytes});
}

SfmResult CSimCard::ClearPreset(std::uint32_t device, SfmLocation location)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable(location);
    if (result == kSfmSuccess)
        m_contents.devices[device].instruments.erase(InstrumentKey(location));
    return result;
}

SfmResult CSimCard::PresetName(std::uint32_t device, SfmLocation location, std::string& name) const
{
    SfmResult result = CheckOpen(device);
    if (result != kSfmSuccess)
        return result;
    if (location.bank > kLastBank)
        return kSfmBankIndexInvalid;
    if (location.preset > kLastPreset)
        return kSfmPresetIndexInvalid;
    const SimDevice& card = m_contents.devices[device];
    auto placed = card.instruments.find(InstrumentKey(location));
    if (placed != card.instruments.end()) {
        name = placed->second.name;
        return kSfmSuccess;
    }
    if (location.bank == kBuiltInBank) {
        name = GeneralMidiProgramName(location.preset);
        return kSfmSuccess;
    }
    const std::optional<SimBank>& bank = card.banks[location.bank];
    if (!bank)
        return kSfmBankIndexInvalid;
    auto named = bank->presetNames.find(location.preset);
    if (named == bank->presetNames.end())
        return kSfmPresetIndexInvalid;
    name = named->second;
    return kSfmSuccess;
}

std::uint32_t CSimCard::OpenCount(std::uint32_t device) const
{
    return device < m_switches.size() ? m_switches[device].openCount : 0;
}

bool CSimCard::SetDeviceCount(std::size_t count)
{
    if (count > kMaxDevices)
        return false;
    std::size_t before = m_contents.devices.size();
    m_contents.devices.resize(count);
    m_switches.resize(count);
    for (std::size_t device = before; device < count; ++device) {
        m_contents.devices[device].name = DefaultDeviceName(device);
        m_contents.devices[device].totalMemory = kDefaultMemory;
    }
    return true;
}

bool CSimCard::SetDeviceName(std::uint32_t device, const std::string& name)
{
    if (device >= m_contents.devices.size())
        return false;
    m_contents.devices[device].name = name;
    return true;
}

bool CSimCard::SetDeviceMemory(std::uint32_t device, std::uint32_t bytes)
{
    if (device >= m_contents.devices.size())
        return false;
    m_contents.devices[device].totalMemory = bytes;
    return true;
}

bool CSimCard::SetCapabilitiesUnreadable(std::uint32_t device, bool unreadable)
{
    if (device >= m_switches.size())
        return false;
    m_switches[device].capabilitiesUnreadable = unreadable;
    return true;
}

bool CSimCard::KeepBankLoaded(std::uint32_t device, std::uint16_t bank, std::uint32_t clears)
{
    if (device >= m_switches.size() || bank > kLastBank)
        return false;
    m_switches[device].clearsIgnored[bank] = clears;
    return true;
}

bool CSimCard::AnswerBankAs(std::uint32_t device, std::uint16_t bank, std::uint16_t answer)
{
    if (device >= m_switches.size() || bank > kLastBank)
        return false;
    m_switches[device].bankAnswers[bank] = answer;
    return true;
}
