#pragma once
// Reads the events of one track chunk (MTrk) of a Standard MIDI File: channel messages with
// running status, tempo changes, and the end of track; system exclusive messages and the other
// meta events are passed over.

#include "song/TrackEvent.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TrackRead {
    // Empty when the track was read; else what is wrong with it, and where (offset in the track).
    std::string error;
    // The tick of its end of track, or of its last event when it has none.
    std::uint64_t endTick = 0;
};

// Appends the track's events to `events` in the order of the track; at most `maxEvents` may be
// held there in all, which fails the read beyond.
TrackRead ReadTrackEvents(const std::uint8_t* data, std::size_t size, std::size_t maxEvents,
                          std::vector<TrackEvent>& events);
