#pragma once
// The software card's settings put into effect: the voices, effects and sound memory on the
// card at once, the audio output as the request it is opened with. Needs no Windows header.

#include "audio/AudioStreamInfo.h"
#include "engine/SoftCardSettings.h"
#include "softcard/SoftCard.h"

// The audio layer's choice for a SoftAudioApi value (Automatic for one out of range).
AudioApiChoice SoftAudioChoice(std::uint32_t api);
AudioRequest SoftAudioRequest(const SoftCardSettings& settings);

// The settings as the card has them now: `kept` with the card's own sound memory.
SoftCardSettings CurrentSoftSettings(const CSoftCard& card, const SoftCardSettings& kept);

// Applies to the card what `wanted` changes from `current` (both checked already). A smaller
// sound memory unloads nothing: loads are refused until enough is cleared. True when the
// audio output must be opened again.
bool ApplySoftSettings(CSoftCard& card, const SoftCardSettings& current, const SoftCardSettings& wanted);

// The voices and effects of `settings`, as the card starts with them.
void ApplySoftVoices(CSoftCard& card, const SoftCardSettings& settings);
