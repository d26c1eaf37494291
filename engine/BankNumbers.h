#pragma once
// The banks of a sound card's SoundFont memory that a SoundFont can be loaded into (bank 0
// holds the card's own sounds). Needs no Windows header.

constexpr int kFirstBank = 1;
constexpr int kLastBank = 127;
