#pragma once
// Whether a SoundFont file on disk fits in a device's sound memory before the card is asked to
// load it: its sample data against the free memory and what the bank it replaces gives back.
// Needs no Windows header.

#include "engine/SoundFontEngine.h"

#include <cstdint>
#include <string>

struct LoadFit {
    // Every figure could be read: the device's free memory, the file's sample size and, when
    // the bank holds a SoundFont, that SoundFont's sample size.
    bool known = false;
    std::uint64_t neededBytes = 0;
    // Free memory plus what the replaced bank gives back.
    std::uint64_t availableBytes = 0;

    bool CertainlyTooLarge() const { return known && neededBytes > availableBytes; }
};

// The sample bytes a SoundFont file on disk needs; false when they can't be read.
bool SampleBytesOf(const std::string& path, std::uint64_t& bytes);

// What loading `path` into `bank` of `device` would take and find. The device is opened only
// when the file's size is known, and closed again; one that does not open leaves the fit unknown.
LoadFit CheckLoadFit(CSoundFontEngine& engine, int device, int bank, const std::string& path);
