#pragma once
// The preview settings that the settings sheet edits, as the main window hands them over and
// takes them back. Needs no Windows header.

#include "engine/BankNumbers.h"
#include "midi/DeviceMap.h"
#include "midi/MidiMessage.h"

#include <cstdint>

struct PreviewSettings {
    std::int32_t midiInDevice = 0;         // position in the MIDI input device list
    bool previewOnStartup = false;
    CDeviceMap deviceMap;                   // copied whole in both directions
    std::int32_t fileSoundFontDevice = 0;   // position in the SoundFont device list
    std::int32_t fileMidiOutDevice = 0;     // position in the MIDI output device list
    std::int32_t fileMidiOutChannel = 0;    // 0-based
    std::int32_t fileBank = kLastBank;
    std::int32_t fileInstrument = kHighestDataByte;
};
