#pragma once
// The card model's check of a wave file handed to it for preview. Needs no Windows header.

#include "engine/SfmResult.h"

#include <cstdint>
#include <string>

// 0 with the size of the sample data, "Pathname Invalid" when the file can't be opened, or
// "Format Invalid" when it is not a RIFF WAVE file with a format and a data chunk.
SfmResult CardReadWave(const std::string& path, std::uint64_t& dataBytes);
