#pragma once
// The readers under fuzzing take a path, so each input goes into one in-memory file per
// process, opened through /proc/self/fd: that keeps the real file code (64-bit seeks past the
// end, short reads, closing) in what is fuzzed, keeps the product code free of a second entry
// point, and leaves no file behind. Linux only, like the fuzz build.

#include <cstddef>
#include <cstdint>
#include <string>

// Replaces the in-memory file's contents by the input; answers the path to open it by.
const std::string& WriteFuzzInput(const std::uint8_t* data, std::size_t size);
