#pragma once
// The simulated sound card: the card model with switches for tests that make it answer as
// no well-behaved card would (unreadable capabilities, clears that leave a bank loaded, odd
// bank answers). The DLL front turns each engine slot into one call here. Needs no Windows
// header.

#include "cardmodel/CardModel.h"

#include <array>
#include <cstdint>
#include <optional>

class CSimCard : public CCardModel {
public:
    static constexpr std::size_t kDefaultDeviceCount = 2;
    static constexpr std::uint32_t kDefaultMemory = 32u << 20;
    static constexpr std::uint32_t kForever = 0xFFFFFFFFu;

    CSimCard();
    static CardDefaults Defaults();
    static CardContents DefaultContents();
    static std::string DefaultDeviceName(std::size_t device);

    // Remembered contents come back without switches.
    void Restore(CardContents contents) override;
    SfmResult DeviceName(std::uint32_t device, std::string& name) const override;
    SfmResult QueryBank(std::uint32_t device, std::uint16_t& bank) const override;
    SfmResult ClearBank(std::uint32_t device, std::uint16_t bank) override;
    bool SetDeviceCount(std::size_t count) override;

    // Switches for tests; false for an argument out of range.
    bool SetCapabilitiesUnreadable(std::uint32_t device, bool unreadable);
    // The next `clears` clears of the bank (kForever: all) succeed but leave it loaded.
    bool KeepBankLoaded(std::uint32_t device, std::uint16_t bank, std::uint32_t clears);
    // Queries of the bank answer `answer` instead of its own number or 0xFFFF.
    bool AnswerBankAs(std::uint32_t device, std::uint16_t bank, std::uint16_t answer);

private:
    struct Switches {
        bool capabilitiesUnreadable = false;
        std::array<std::uint32_t, kCardBankCount> clearsIgnored{};
        std::array<std::optional<std::uint16_t>, kCardBankCount> bankAnswers{};
    };

    // Every possible device has its switches; a device removed and added again starts afresh.
    std::array<Switches, kMaxDevices> m_switches;
};
