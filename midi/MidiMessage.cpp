#include "midi/MidiMessage.h"

MidiInputEvent UnpackShortMessage(std::uint32_t word, std::uint32_t timestamp)
{
    MidiInputEvent event;
    event.timestamp = timestamp;
    event.status = static_cast<std::uint8_t>(word & 0xFF);
    event.data1 = static_cast<std::uint8_t>((word >> 8) & 0xFF);
    event.data2 = static_cast<std::uint8_t>((word >> 16) & 0xFF);
    return event;
}
