#pragma once
// What the sound memory meter shows for a device's total and free bytes. Needs no Windows
// header.

#include <cstdint>
#include <string>

struct MemoryReading {
    int position; // used share in tenths of a percent, 0 to 1000
    std::string text;
};

// Both amounts are taken as signed 32-bit numbers, as the engine's figures are read.
MemoryReading ReadMemory(std::int32_t totalBytes, std::int32_t freeBytes);
