#include "song/MidiFileParser.h"

#include "song/BigEndianCursor.h"
#include "song/MidiTrackReader.h"
#include "song/TickClock.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kHeaderLength = 6;

struct Header {
    std::uint16_t format = 0;
    std::uint16_t tracks = 0;
    std::uint16_t division = 0;
};

bool IsChunk(const std::uint8_t* id, const char* expected)
{
    return std::memcmp(id, expected, 4) == 0;
}

std::string ReadHeader(BigEndianCursor& cursor, Header& header)
{
    const std::uint8_t* id = cursor.Take(4);
    std::uint32_t length = 0;
    if (!id || !IsChunk(id, "MThd"))
        return "not a MIDI file: it does not start with MThd";
    if (!cursor.ReadU32(length) || length < kHeaderLength || !cursor.ReadU16(header.format) ||
        !cursor.ReadU16(header.tracks) || !cursor.ReadU16(header.division) || !cursor.Skip(length - kHeaderLength))
        return "the MIDI file's header (MThd) is cut short";
    if (header.format > 1)
        return "MIDI file format " + std::to_string(header.format) +
               " is not supported (only 0, one track, and 1, tracks played together)";
    if (header.format == 0 && header.tracks != 1)
        return "a MIDI file of format 0 must hold one track; its header says " + std::to_string(header.tracks);
    return "";
}

// Ticks per quarter note, or with the high bit set, minus the frames per second (24, 25, 29
// for 29.97 drop frame, 30) in the high byte and the ticks per frame in the low byte.
std::string ClockOf(std::uint16_t division, TickClock& clock)
{
    if (!(division & 0x8000)) {
        if (division == 0)
            return "the MIDI file's division is 0 ticks per quarter note";
        clock = TickClock::PerQuarterNote(division);
        return "";
    }
    const int framesPerSecond = 256 - (division >> 8);
    const int ticksPerFrame = division & 0xFF;
    double rate = 0;
    switch (framesPerSecond) {
    case 24: case 25: case 30: rate = framesPerSecond; break;
    case 29: rate = 30000.0 / 1001.0; break;
    default: return "the MIDI file's SMPTE division has " + std::to_string(framesPerSecond) + " frames a second";
    }
    if (ticksPerFrame == 0)
        return "the MIDI file's SMPTE division has 0 ticks per frame";
    clock = TickClock::PerSecond(rate * ticksPerFrame);
    return "";
}

struct Tracks {
    std::vector<TrackEvent> events;
    std::uint64_t endTick = 0;
};

std::string ReadTracks(BigEndianCursor& cursor, std::uint16_t count, Tracks& tracks)
{
    for (std::uint16_t read = 0; read < count;) {
        const std::uint8_t* id = cursor.Take(4);
        std::uint32_t length = 0;
        if (!id || !cursor.ReadU32(length))
            return "the MIDI file ends after " + std::to_string(read) + " of its " + std::to_string(count) + " tracks";
        const std::uint8_t* body = cursor.Take(length);
        if (!body) {
            return IsChunk(id, "MTrk") ? "track " + std::to_string(read + 1) + " runs past the end of the file"
                                       : std::string("a chunk of unknown type runs past the end of the file");
        }
        if (!IsChunk(id, "MTrk"))
            continue;
        const TrackRead track = ReadTrackEvents(body, length, kMaxSongEvents, tracks.events);
        if (!track.error.empty())
            return "track " + std::to_string(read + 1) + ": " + track.error;
        tracks.endTick = std::max(tracks.endTick, track.endTick);
        ++read;
    }
    return "";
}

Song Schedule(Tracks& tracks, TickClock clock)
{
    // Stable: events at one tick keep the order of their tracks and, within a track, the file's.
    std::stable_sort(tracks.events.begin(), tracks.events.end(),
                     [](const TrackEvent& a, const TrackEvent& b) { return a.tick < b.tick; });
    Song song;
    song.events.reserve(tracks.events.size());
    for (const TrackEvent& event : tracks.events) {
        if (event.kind == TrackEvent::Kind::Tempo)
            clock.ChangeTempo(event.tick, event.value);
        else
            song.events.push_back({clock.Seconds(event.tick), event.value});
    }
    song.lengthSeconds = clock.Seconds(tracks.endTick);
    return song;
}

} // namespace

SongLoad ParseMidiFile(const std::uint8_t* data, std::size_t size)
{
    SongLoad load;
    BigEndianCursor cursor(data, size);
    Header header;
    load.error = ReadHeader(cursor, header);
    if (!load.error.empty())
        return load;
    TickClock clock = TickClock::PerQuarterNote(1);
    load.error = ClockOf(header.division, clock);
    if (!load.error.empty())
        return load;
    Tracks tracks;
    load.error = ReadTracks(cursor, header.tracks, tracks);
    if (!load.error.empty())
        return load;
    load.song = Schedule(tracks, clock);
    return load;
}
