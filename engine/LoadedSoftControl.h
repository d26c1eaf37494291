#pragma once
// The software card's control table, from the TWSYNTH.DLL this process loaded beside the
// program (CSoundFontManager loads it): null while it is not loaded. Never loads it itself.

#include "engine/SoftControl.h"

#include <string>

const SoftControlTable* LoadedSoftControl();

// Why the loaded software card can't be heard; "" while it plays or when it is not loaded.
std::string SoftCardAudioFailure();
