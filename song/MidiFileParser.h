#pragma once
// Reads a Standard MIDI File of format 0 or 1 held in memory into a song: the tracks merged in
// time order (events at the same tick in the order of their tracks, then of the file), tempo
// changes of any track applied to all of them. Divisions in ticks per quarter note and in SMPTE
// frames are both read. Chunks of unknown types are passed over.

#include "song/Song.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct SongLoad {
    Song song;
    // Empty when the song was read; else one line that says what is wrong with the file.
    std::string error;
};

// Bounds that keep a hostile file from taking the machine's memory: the largest real songs
// hold a few hundred thousand events.
constexpr std::size_t kMaxSongEvents = 4000000;

SongLoad ParseMidiFile(const std::uint8_t* data, std::size_t size);
