#pragma once
// What a track of a MIDI file holds that the song keeps, at its time in ticks.

#include <cstdint>

struct TrackEvent {
    enum class Kind : std::uint8_t { Channel, Tempo };

    std::uint64_t tick;
    Kind kind;
    // Channel: the packed message (status | data1 << 8 | data2 << 16).
    // Tempo: microseconds per quarter note.
    std::uint32_t value;
};
