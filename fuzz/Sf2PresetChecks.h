#pragma once
// What the preset reader promises for any file at all, checked by reading one file. Shared by
// the fuzz target, which stops at the first broken promise, and by the test that replays its
// findings. Portable.

#include <cstddef>
#include <cstdint>
#include <string>

// Reads the file at path, whose bytes are data. Empty when every promise held; otherwise what
// broke, in words.
std::string CheckPresetReader(const std::string& path, const std::uint8_t* data, std::size_t size);
