#pragma once
// Lists the presets of a SoundFont 2 file on disk from its preset headers alone.

#include "sf2/PresetHeader.h"

#include <cstddef>
#include <string>
#include <vector>

// Preset bag indices are 16-bit, so a SoundFont can't have more presets than this.
constexpr std::size_t kMaxPresetHeaders = 65536;

// Empties entries, then fills them in file order with the preset headers of the "phdr" chunk
// of the "pdta" list: every whole 38-byte record inside the chunk but the last, which is the
// terminal record whatever its name, up to a record named "EOP" and at most kMaxPresetHeaders.
// True when the chunk was found and read, even when it holds no entry; false, with entries
// empty, on every failure, including running out of memory: nothing is thrown. Only chunk
// headers and the preset headers are read: everything else, the sample data above all, is
// passed over by seeking. Chunks are looked for only inside the form and the list that hold
// them (see CChunkWalk), so any file is answered in a few reads.
bool ReadPresetHeaders(const std::string& path, std::vector<PresetHeader>& entries) noexcept;
