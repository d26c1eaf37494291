#pragma once
// What the synthesizer promises for any file at all: loading it as a SoundFont (whole, one
// preset) and as a wave file either fails with a one-line reason or gives a font whose every
// preset plays a short note with finite, bounded output. Shared by the fuzz target and the
// tests that play hostile fonts. Portable.

#include "synth/SynthFont.h"

#include <memory>
#include <string>

// Plays a note of every preset (a few blocks each). Empty when the output held its promises;
// otherwise what broke.
std::string PlayEveryPreset(const std::shared_ptr<const CSynthFont>& font);

// Loads the file at path every way; empty when every promise held.
std::string CheckSynthFont(const std::string& path);
