#pragma once
// Reads a Standard MIDI File from disk by its UTF-8 path into a song (see MidiFileParser.h).

#include "song/MidiFileParser.h"

#include <string>

// Larger than any real song file; a larger file is refused before it is read.
constexpr std::uint64_t kMaxMidiFileBytes = 64ull << 20;

SongLoad ReadMidiFile(const std::string& utf8Path);
