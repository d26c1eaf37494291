#pragma once
// Results of the MIDI ports and the texts of the platform's result codes. Needs no Windows
// header.

#include <cstdint>

// What a port operation returns.
constexpr int kMidiOk = 0;
constexpr int kMidiBadDeviceId = 2;      // id below 0 or not below the current device count
constexpr int kMidiNoSuchDevice = 3;     // no device has the name asked for
constexpr int kMidiPlatformFailed = 100; // the platform's own code is in the port's last result

// The text of a platform (multimedia system) result code; "Unknown Error" for codes
// outside the table.
const char* MidiErrorText(std::uint32_t platformResult);
