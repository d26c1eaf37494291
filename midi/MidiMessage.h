#pragma once
// MIDI short messages as the program exchanges them with the platform: three bytes packed
// into one 32-bit word, status in bits 0-7, data 1 in bits 8-15, data 2 in bits 16-23.
// Needs no Windows header.

#include <cstdint>

// Status kinds (high nibble); the channel goes into the low nibble.
constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kProgramChange = 0xC0;
// Channels are 0-based; data bytes hold 7 bits.
constexpr int kHighestMidiChannel = 15;
constexpr int kHighestDataByte = 127;
// Controller 0: bank select, most significant byte.
constexpr std::uint8_t kBankSelectController = 0;

// One short message received from a MIDI input.
struct MidiInputEvent {
    std::uint32_t timestamp = 0; // milliseconds since input was started, as the platform reports
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

constexpr std::uint32_t PackShortMessage(std::uint8_t status, std::uint8_t data1,
                                         std::uint8_t data2)
{
    return std::uint32_t{status} | std::uint32_t{data1} << 8 | std::uint32_t{data2} << 16;
}

// One short message to send.
struct MidiShortMessage {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    constexpr std::uint32_t Packed() const { return PackShortMessage(status, data1, data2); }
};

// Bits 24-31 of the word are ignored.
MidiInputEvent UnpackShortMessage(std::uint32_t word, std::uint32_t timestamp);

// A channel message's status byte. Channels are 0-based; only the low four bits are used, so
// a channel outside 0-15 (from a hand-edited settings file) still yields a valid status.
constexpr std::uint8_t ChannelStatus(std::uint8_t kind, std::int32_t channel)
{
    return static_cast<std::uint8_t>((kind & 0xF0) | (channel & 0x0F));
}
