#pragma once
// Listening to a software card device in tests: MIDI messages in, the level of what it
// renders out.

#include "synth/Synthesizer.h"

#include <cstdint>
#include <string>

constexpr double kTestRate = 44100;

SynthConfig DrySynthConfig();

void NoteOn(CSynthesizer& synth, int channel, int key, int velocity = 100);
void NoteOff(CSynthesizer& synth, int channel, int key);
void SelectSound(CSynthesizer& synth, int channel, int bank, int program);

// The RMS level of `seconds` of the device's output, both sides, in dB full scale (-200 for
// silence).
double RenderLevelDb(CSynthesizer& synth, double seconds);
