#include "sim/SimCard.h"

CSimCard::CSimCard() : CCardModel(Defaults()) {}

CardDefaults CSimCard::Defaults()
{
    return {"Simulated Synth ", kDefaultMemory, kDefaultDeviceCount};
}

CardContents CSimCard::DefaultContents()
{
    return CCardModel::DefaultContents(Defaults());
}

std::string CSimCard::DefaultDeviceName(std::size_t device)
{
    return CCardModel::DefaultDeviceName(Defaults(), device);
}

void CSimCard::Restore(CardContents contents)
{
    CCardModel::Restore(std::move(contents));
    m_switches.fill(Switches());
}

SfmResult CSimCard::DeviceName(std::uint32_t device, std::string& name) const
{
    if (device < kMaxDevices && m_switches[device].capabilitiesUnreadable)
        return kSfmDeviceInvalid;
    return CCardModel::DeviceName(device, name);
}

SfmResult CSimCard::QueryBank(std::uint32_t device, std::uint16_t& bank) const
{
    const std::uint16_t asked = bank;
    SfmResult result = CCardModel::QueryBank(device, bank);
    if (result == kSfmSuccess && m_switches[device].bankAnswers[asked])
        bank = *m_switches[device].bankAnswers[asked];
    return result;
}

SfmResult CSimCard::ClearBank(std::uint32_t device, std::uint16_t bank)
{
    SfmResult result = CheckOpen(device);
    if (result == kSfmSuccess)
        result = CheckWritable({bank, 0});
    if (result != kSfmSuccess)
        return result;
    std::uint32_t& ignored = m_switches[device].clearsIgnored[bank];
    if (ignored == 0)
        return CCardModel::ClearBank(device, bank);
    if (ignored != kForever)
        --ignored;
    return kSfmSuccess;
}

bool CSimCard::SetDeviceCount(std::size_t count)
{
    if (!CCardModel::SetDeviceCount(count))
        return false;
    for (std::size_t device = count; device < kMaxDevices; ++device)
        m_switches[device] = Switches();
    return true;
}

bool CSimCard::SetCapabilitiesUnreadable(std::uint32_t device, bool unreadable)
{
    if (device >= DeviceCount())
        return false;
    m_switches[device].capabilitiesUnreadable = unreadable;
    return true;
}

bool CSimCard::KeepBankLoaded(std::uint32_t device, std::uint16_t bank, std::uint32_t clears)
{
    if (device >= DeviceCount() || bank >= kCardBankCount)
        return false;
    m_switches[device].clearsIgnored[bank] = clears;
    return true;
}

bool CSimCard::AnswerBankAs(std::uint32_t device, std::uint16_t bank, std::uint16_t answer)
{
    if (device >= DeviceCount() || bank >= kCardBankCount)
        return false;
    m_switches[device].bankAnswers[bank] = answer;
    return true;
}
