#pragma once
// The dense song the synthesizer's benchmarks play: 15 melodic channels of different presets,
// at the densest a note every 100 ms on each with pan, volume, expression, modulation and
// pitch bend moving, and drums on channel 10 every 125 ms. The same notes on every run (a
// fixed seed).
#include "tests/support/SmfWriter.h"

#include <cstdint>

constexpr std::uint16_t kDenseSongTicksPerQuarter = 480; // 960 ticks a second at the default tempo

struct DenseSongShape {
    double seconds = 30;
    double holdSeconds = 0.4; // each note
    double density = 1.0;     // 1: the densest; 0.5: half the notes, each channel's as far apart
    int bank = 0;             // selected on every channel first (0: no bank select)
};

SmfBytes DenseSong(const DenseSongShape& shape);
