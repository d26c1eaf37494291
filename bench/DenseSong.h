#pragma once
// The dense song the synthesizer's benchmarks play: 15 melodic channels of different presets,
// a note every 100 ms on each with pan, volume, expression, modulation and pitch bend moving,
// and drums on channel 10 every 125 ms. The same notes on every run (a fixed seed).
#include "tests/support/SmfWriter.h"

#include <cstdint>

constexpr std::uint16_t kDenseSongTicksPerQuarter = 480; // 960 ticks a second at the default tempo

// `seconds` long, each note held `holdSeconds`; every channel first selects `bank` (0: none).
SmfBytes DenseSong(double seconds, double holdSeconds, int bank = 0);
