#pragma once
// The audio output APIs of Windows, the order they are tried in, and their names in settings.
#include <string>
#include <vector>

enum class AudioApi { Wasapi, DirectSound, WaveOut };

// What the user (or a test) asks for: the best API present, or one API by name.
enum class AudioApiChoice { Automatic, Wasapi, DirectSound, WaveOut };

// "WASAPI shared mode", "DirectSound", "waveOut": for reports and messages.
const char* AudioApiName(AudioApi api);

// "auto", "wasapi", "directsound", "waveout": the words settings and command lines use.
const char* AudioApiChoiceKey(AudioApiChoice choice);
bool ParseAudioApiChoice(const std::string& key, AudioApiChoice* choice);

// The APIs to try, best first. Automatic tries every API, newest first; a named API comes
// first and, with fallBack, the others follow in the usual order (a setting made on a newer
// Windows still plays on an older one); without fallBack only the named API is tried.
std::vector<AudioApi> AudioApisToTry(AudioApiChoice choice, bool fallBack);
