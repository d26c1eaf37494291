#include "cardmodel/CardModel.h"

#include "cardmodel/CardSoundFontReader.h"
#include "cardmodel/CardWaveReader.h"
#include "cardmodel/GeneralMidiNames.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint16_t kBuiltInBank = 0;
constexpr std::uint16_t kLastBank = kCardBankCount - 1;
constexpr std::uint16_t kLastPreset = 127;
constexpr std::uint16_t kEmptyBank = 0xFFFF;

// A wave file's instrument is named after the file: its name without folders or extension.
std::string BaseName(const std::string& path)
{
    std::size_t start = path.find_last_of("\\/");
    std::string name = start == std::string::npos ? path : path.substr(start + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

std::uint32_t CardInstrumentKey(SfmLocation location)
{
    return static_cast<std::uint32_t>(location.bank) << 16 | location.preset;
}

CCardModel::CCardModel(CardDefaults defaults) : m_defaults(std::move(defaults))
{
    m_contents = DefaultContents(m_defaults);
    m_openCounts.assign(m_contents.devices.size(), 0);
}

std::string CCardModel::DefaultDeviceName(const CardDefaults& defaults, std::size_t device)
{
    return defaults.deviceNamePrefix + std::to_string(device + 1);
}

CardContents CCardModel::DefaultContents(const CardDefaults& defaults)
{
    CardContents contents;
    contents.devices.resize(defaults.deviceCount);
    for (std::size_t device = 0; device < defaults.deviceCount; ++device) {
        contents.devices[device].name = DefaultDeviceName(defaults, device);
        contents.devices[device].totalMemory = defaults.memoryBytes;
    }
    return contents;
}

void CCardModel::Restore(CardContents contents)
{
    m_contents = std::move(contents);
    m_openCounts.assign(m_contents.devices.size(), 0);
}

std::uint16_t CCardModel::DeviceCount() const
{
    return static_cast<std::uint16_t>(m_contents.devices.size());
}

SfmResult CCardModel::DeviceName(std::uint32_t device, std::string& name) const
{
    if (device >= m_contents.devices.size())
        return kSfmDeviceInvalid;
    name = m_contents.devices[device].name;
    return kSfmSuccess;
}

SfmResult CCardModel::Open(std::uint32_t device)
{
    if (device >= m_contents.devices.size())
        return kSfmDeviceInvalid;
    ++m_openCounts[device];
    return kSfmSuccess;
}

SfmResult CCardModel::Close(std::uint32_t device)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        --m_openCounts[device];
    return result;
}

SfmResult CCardModel::CheckOpen(std::uint32_t device) const
{
    if (device >= m_contents.devices.size())
        return kSfmDeviceInvalid;
    return m_openCounts[device] > 0 ? kSfmSuccess : kSfmAccessNotPermitted;
}

SfmResult CCardModel::CheckWritable(SfmLocation location)
{
    if (location.bank == kBuiltInBank)
        return kSfmAccessNotPermitted;
    if (location.bank > kLastBank)
        return kSfmBankIndexInvalid;
    return location.preset > kLastPreset ? kSfmPresetIndexInvalid : kSfmSuccess;
}

std::uint64_t CCardModel::UsedMemory(const CardDevice& device)
{
    std::uint64_t used = 0;
    for (const std::optional<CardBank>& bank : device.banks)
        used += bank ? bank->memoryBytes : 0;
    for (const auto& placed : device.instruments)
        used += placed.second.memoryBytes;
    return used;
}

SfmResult CCardModel::CheckMemory(const CardDevice& device, std::uint64_t released,
                                  std::uint64_t needed)
{
    std::uint64_t used = UsedMemory(device) - released;
    bool fits = used <= device.totalMemory && needed <= device.totalMemory - used;
    return fits ? kSfmSuccess : kSfmSoundMemoryInsufficient;
}

SfmResult CCardModel::QueryBank(std::uint32_t device, std::uint16_t& bank) const
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess && bank > kLastBank)
        result = kSfmBankIndexInvalid;
    if (result != kSfmSuccess) {
        bank = kEmptyBank;
        return result;
    }
    if (bank != kBuiltInBank && !m_contents.devices[device].banks[bank])
        bank = kEmptyBank;
    return kSfmSuccess;
}

SfmResult CCardModel::MemoryStatus(std::uint32_t device, std::uint32_t& totalBytes,
                                   std::uint32_t& freeBytes) const
{
    SfmResult result = CheckOpen(device);
    if (result != kSfmSuccess)
        return result;
    const CardDevice& card = m_contents.devices[device];
    std::uint64_t used = std::min<std::uint64_t>(UsedMemory(card), card.totalMemory);
    totalBytes = card.totalMemory;
    freeBytes = static_cast<std::uint32_t>(card.totalMemory - used);
    return kSfmSuccess;
}

SfmResult CCardModel::LoadBank(std::uint32_t device, std::uint16_t bank, const std::string& path)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable({bank, 0});
    if (result != kSfmSuccess)
        return result;
    CardSoundFontContents file;
    result = CardReadSoundFont(path, file);
    if (result != kSfmSuccess)
        return result;
    CardDevice& card = m_contents.devices[device];
    std::optional<CardBank>& slot = card.banks[bank];
    // A bank loaded over gives its memory back first; when the new one doesn't fit, the old stays.
    result = CheckMemory(card, slot ? slot->memoryBytes : 0, file.sampleBytes);
    if (result == kSfmSuccess)
        result = AttachBank(device, bank, path);
    if (result != kSfmSuccess)
        return result;

    CardBank loaded;
    loaded.name = file.name.empty() ? kUserBankName : file.name;
    loaded.fileName = path;
    loaded.memoryBytes = file.sampleBytes;
    loaded.presetNames = std::move(file.presetNames);
    slot = std::move(loaded);
    return kSfmSuccess;
}

SfmResult CCardModel::BankName(std::uint32_t device, std::uint16_t bank, std::string& name) const
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

SfmResult CCardModel::BankFileName(std::uint32_t device, std::uint16_t bank,
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

SfmResult CCardModel::ClearBank(std::uint32_t device, std::uint16_t bank)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable({bank, 0});
    if (result != kSfmSuccess)
        return result;
    CardDevice& card = m_contents.devices[device];
    if (card.banks[bank]) {
        card.banks[bank].reset();
        DetachBank(device, bank);
    }
    auto first = card.instruments.lower_bound(CardInstrumentKey({bank, 0}));
    auto last = card.instruments.lower_bound(CardInstrumentKey({std::uint16_t(bank + 1), 0}));
    while (first != last) {
        std::uint32_t key = first->first;
        first = card.instruments.erase(first);
        DetachInstrument(device, {bank, static_cast<std::uint16_t>(key & 0xFFFF)});
    }
    return kSfmSuccess;
}

void CCardModel::ForgetBank(std::uint32_t device, std::uint16_t bank)
{
    if (device < m_contents.devices.size() && bank < kCardBankCount)
        m_contents.devices[device].banks[bank].reset();
}

SfmResult CCardModel::PlaceInstrument(std::uint32_t device, SfmLocation location,
                                      const CardInstrumentSource& source,
                                      CardInstrument instrument)
{
    CardDevice& card = m_contents.devices[device];
    auto placed = card.instruments.find(CardInstrumentKey(location));
    std::uint64_t released = placed == card.instruments.end() ? 0 : placed->second.memoryBytes;
    SfmResult result = CheckMemory(card, released, instrument.memoryBytes);
    if (result == kSfmSuccess)
        result = AttachInstrument(device, location, source);
    if (result == kSfmSuccess)
        card.instruments[CardInstrumentKey(location)] = std::move(instrument);
    return result;
}

SfmResult CCardModel::LoadPreset(std::uint32_t device, SfmLocation source,
                                 SfmLocation destination, const std::string& path)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable(destination);
    CardPresetContents preset;
    if (result == kSfmSuccess)
        result = CardReadPreset(path, source.bank, source.preset, preset);
    if (result != kSfmSuccess)
        return result;
    return PlaceInstrument(device, destination, {path, false, source},
                           {preset.name, preset.sampleBytes});
}

SfmResult CCardModel::LoadWave(std::uint32_t device, SfmLocation location, const std::string& path)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable(location);
    std::uint64_t dataBytes = 0;
    if (result == kSfmSuccess)
        result = CardReadWave(path, dataBytes);
    if (result != kSfmSuccess)
        return result;
    return PlaceInstrument(device, location, {path, true, {0, 0}}, {BaseName(path), dataBytes});
}

SfmResult CCardModel::ClearPreset(std::uint32_t device, SfmLocation location)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable(location);
    if (result == kSfmSuccess && m_contents.devices[device].instruments.erase(CardInstrumentKey(location)))
        DetachInstrument(device, location);
    return result;
}

SfmResult CCardModel::PresetName(std::uint32_t device, SfmLocation location,
                                 std::string& name) const
{
    SfmResult result = CheckOpen(device);
    if (result != kSfmSuccess)
        return result;
    if (location.bank > kLastBank)
        return kSfmBankIndexInvalid;
    if (location.preset > kLastPreset)
        return kSfmPresetIndexInvalid;
    const CardDevice& card = m_contents.devices[device];
    auto placed = card.instruments.find(CardInstrumentKey(location));
    if (placed != card.instruments.end()) {
        name = placed->second.name;
        return kSfmSuccess;
    }
    if (location.bank == kBuiltInBank) {
        name = GeneralMidiProgramName(location.preset);
        return kSfmSuccess;
    }
    const std::optional<CardBank>& bank = card.banks[location.bank];
    if (!bank)
        return kSfmBankIndexInvalid;
    auto named = bank->presetNames.find(location.preset);
    if (named == bank->presetNames.end())
        return kSfmPresetIndexInvalid;
    name = named->second;
    return kSfmSuccess;
}

std::uint32_t CCardModel::OpenCount(std::uint32_t device) const
{
    return device < m_openCounts.size() ? m_openCounts[device] : 0;
}

bool CCardModel::SetDeviceCount(std::size_t count)
{
    if (count > kMaxDevices)
        return false;
    std::size_t before = m_contents.devices.size();
    m_contents.devices.resize(count);
    m_openCounts.resize(count);
    for (std::size_t device = before; device < count; ++device) {
        m_contents.devices[device].name = DefaultDeviceName(m_defaults, device);
        m_contents.devices[device].totalMemory = m_defaults.memoryBytes;
    }
    return true;
}

bool CCardModel::SetDeviceName(std::uint32_t device, const std::string& name)
{
    if (device >= m_contents.devices.size())
        return false;
    m_contents.devices[device].name = name;
    return true;
}

bool CCardModel::SetDeviceMemory(std::uint32_t device, std::uint32_t bytes)
{
    if (device >= m_contents.devices.size())
        return false;
    m_contents.devices[device].totalMemory = bytes;
    return true;
}

SfmResult CCardModel::AttachBank(std::uint32_t, std::uint16_t, const std::string&)
{
    return kSfmSuccess;
}

void CCardModel::DetachBank(std::uint32_t, std::uint16_t) {}

SfmResult CCardModel::AttachInstrument(std::uint32_t, SfmLocation, const CardInstrumentSource&)
{
    return kSfmSuccess;
}

void CCardModel::DetachInstrument(std::uint32_t, SfmLocation) {}
