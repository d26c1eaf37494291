#pragma once
// Lists the presets of a SoundFont 2 file on disk from its preset headers alone.

#include "sf2/PresetHeader.h"

#include <string>
#include <vector>

// Empties entries, then fills them in file order with every preset header before the
// terminal "EOP" record. True when the "phdr" chunk was found and read, even when it holds no
// entry; false, with entries empty, on every failure. Only chunk headers and the preset
// headers are read: everything else, the sample data above all, is passed over by seeking.
bool ReadPresetHeaders(const std::string& path, std::vector<PresetHeader>& entries);
