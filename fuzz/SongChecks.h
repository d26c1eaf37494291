#pragma once
// What the MIDI file reader promises for any bytes at all. Shared by the fuzz target, which
// stops at the first broken promise, and by the test that replays its findings. Portable.

#include <cstddef>
#include <cstdint>
#include <string>

// Empty when every promise held; otherwise what broke, in words.
std::string CheckMidiFileParser(const std::uint8_t* data, std::size_t size);
