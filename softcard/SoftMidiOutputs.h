#pragma once
// The software card's MIDI outputs: one for each device, passing short messages to the
// device's synthesizer queue. Sending is lock-free and never waits; opening and closing are
// serialized by the caller with the card's other operations. Needs no Windows header.

#include "cardmodel/CardModel.h"

#include <array>
#include <atomic>
#include <cstdint>

class CSoftCard;
class CSynthesizer;

class CSoftMidiOutputs {
public:
    explicit CSoftMidiOutputs(CSoftCard& card) : m_card(card) {}

    // Results are kSoftMidi* codes.
    std::int32_t Open(std::uint32_t output);
    // The last close releases every note of the device, so that nothing keeps sounding.
    std::int32_t Close(std::uint32_t output);
    std::int32_t Send(std::uint32_t output, std::uint32_t message);
    std::uint32_t OpenCount(std::uint32_t output) const;

private:
    CSoftCard& m_card;
    std::array<std::atomic<std::uint32_t>, CCardModel::kMaxDevices> m_opens{};
    std::array<std::atomic<CSynthesizer*>, CCardModel::kMaxDevices> m_synths{};
};
