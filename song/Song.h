#pragma once
// A song as the synthesizer plays it: channel messages in the order they sound, each at its
// time in seconds from the start.

#include <cstdint>
#include <vector>

struct SongEvent {
    double seconds;
    // status | data1 << 8 | data2 << 16, as a MIDI output takes it.
    std::uint32_t message;
};

struct Song {
    std::vector<SongEvent> events;
    // Where the song ends: its last end of track or its last event, whichever comes later.
    double lengthSeconds = 0;
};
