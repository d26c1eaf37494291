#pragma once
// Where the parts of a SoundFont 2 file lie: the sample data chunks and the nine chunks of
// the preset data list, found through sf2/'s bounded chunk walk.

#include "sf2/RiffChunk.h"
#include "sf2/RiffFile.h"

#include <cstdint>
#include <string>
#include <vector>

struct SoundFontChunks {
    enum Hydra { kPhdr, kPbag, kPmod, kPgen, kInst, kIbag, kImod, kIgen, kShdr, kHydraCount };
    static const char* HydraName(int which);

    bool hasSamples = false;
    CRiffChunk samples; // "smpl"
    bool hasLowBytes = false;
    CRiffChunk lowBytes; // "sm24"
    bool found[kHydraCount] = {};
    CRiffChunk hydra[kHydraCount];
};

// Finds the chunks of an open file. Empty error on success; otherwise one line naming what
// is missing.
std::string LocateSoundFontChunks(CRiffFile& file, SoundFontChunks& chunks);

// Reads a whole chunk's data; false on a short read.
bool ReadChunkBytes(CRiffFile& file, const CRiffChunk& chunk, std::vector<std::uint8_t>& bytes);
