#pragma once
// One preset header record of a SoundFont 2 file ("phdr"), kept byte for byte as stored.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct PresetHeader {
    static constexpr std::size_t kRecordSize = 38;
    static constexpr std::size_t kNameSize = 20;

    std::array<std::uint8_t, kRecordSize> record{};

    // The bytes up to the first zero or the end of the 20-byte name field: a name that fills
    // the field has no terminating zero.
    std::string Name() const;

    std::uint16_t Preset() const;
    std::uint16_t Bank() const;
    std::uint16_t PresetBagIndex() const;
    std::uint32_t Library() const;
    std::uint32_t Genre() const;
    std::uint32_t Morphology() const;
};

// Banks from 128 up hold percussion presets (drum kits).
constexpr bool IsPercussionBank(int bank)
{
    return bank >= 128;
}

// Bank, then preset, then name with the letters A-Z taken as a-z and other bytes by their
// unsigned value. Entries equal in all three have no order among themselves.
bool operator<(const PresetHeader& a, const PresetHeader& b);
