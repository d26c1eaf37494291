#pragma once
// Whether a SoundFont file on disk fits in a device's sound memory before the card is asked to
// load it: its sample data against the free memory and what the bank it replaces gives back.

#include "engine/SoundFontManager.h"

#include <windows.h>

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

// Opens the device and closes it again.
LoadFit CheckLoadFit(CSoundFontManager& manager, int device, int bank, const std::string& path);

// When `path` certainly can't fit in `bank` of `device`, says so in one message owned by
// `owner` and answers true: the load is not to be tried. Otherwise answers false, and the
// card decides, as for a file whose sizes can't be read.
bool RefuseLoadThatCantFit(HWND owner, CSoundFontManager& manager, int device, int bank, const std::string& path);

// The sample bytes a SoundFont file on disk needs; false when they can't be read.
bool SampleBytesOf(const std::string& path, std::uint64_t& bytes);
