#include "fuzz/SongChecks.h"

#include "song/MidiFileParser.h"

#include <cmath>

namespace {

bool IsChannelMessage(std::uint32_t message)
{
    const std::uint32_t status = message & 0xFF;
    return status >= 0x80 && status < 0xF0 && !(message & 0x8000) && !(message & 0x800000) && message <= 0xFFFFFF;
}

std::string CheckSong(const Song& song, std::size_t size)
{
    // Every event takes a delta time and at least one byte of the file.
    if (song.events.size() > size / 2)
        return "more events than the file has room for";
    double previous = 0;
    for (const SongEvent& event : song.events) {
        if (!std::isfinite(event.seconds) || event.seconds < previous)
            return "events out of time order or at a time that is not a number";
        if (!IsChannelMessage(event.message))
            return "an event that is not a well-formed channel message";
        previous = event.seconds;
    }
    if (!std::isfinite(song.lengthSeconds) || song.lengthSeconds < previous)
        return "the song ends before its last event";
    return std::string();
}

} // namespace

std::string CheckMidiFileParser(const std::uint8_t* data, std::size_t size)
{
    const SongLoad load = ParseMidiFile(data, size);
    if (!load.error.empty()) {
        if (!load.song.events.empty() || load.song.lengthSeconds != 0)
            return "a refused file still gave a song";
        if (load.error.find('\n') != std::string::npos)
            return "the error is more than one line";
        return std::string();
    }
    return CheckSong(load.song, size);
}
