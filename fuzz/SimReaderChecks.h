#pragma once
// What the simulated card's file readers promise for any file at all, checked by reading one
// file every way the card reads files: as a SoundFont bank, as single presets and as a wave.
// Shared by the fuzz target, which stops at the first broken promise, and by the test that
// replays its findings. Needs no Windows header.

#include <cstdint>
#include <string>

// Empty when every promise held; otherwise what broke, in words.
std::string CheckSimReaders(const std::string& path, std::uint64_t fileSize);
