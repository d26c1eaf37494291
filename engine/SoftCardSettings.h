#pragma once
// The software card's own settings, as a card's control panel shows them: the audio output it
// plays through, its buffer length, the sound memory of each device, the voices it may sound
// at once, and its effects. Crosses the library's boundary as a plain record of 32-bit
// numbers. Needs no Windows header.

#include <cstdint>
#include <string>

// The audio output, in the order of the program's choice of APIs.
enum SoftAudioApi : std::uint32_t {
    kSoftAudioAutomatic = 0,
    kSoftAudioWasapi = 1,
    kSoftAudioDirectSound = 2,
    kSoftAudioWaveOut = 3,
};

struct SoftCardSettings {
    std::uint32_t audioApi = kSoftAudioAutomatic;
    std::uint32_t bufferMs = 30;
    std::uint32_t soundMemoryMb = 512;
    std::uint32_t polyphony = 256;
    std::uint32_t reverb = 1; // 0 off, 1 on
    std::uint32_t chorus = 1;
};

bool operator==(const SoftCardSettings& a, const SoftCardSettings& b);
inline bool operator!=(const SoftCardSettings& a, const SoftCardSettings& b) { return !(a == b); }

constexpr std::uint32_t kSoftLowestBufferMs = 10;
constexpr std::uint32_t kSoftHighestBufferMs = 500;
// The budget is counted in bytes in 32 bits.
constexpr std::uint32_t kSoftLowestMemoryMb = 1;
constexpr std::uint32_t kSoftHighestMemoryMb = 4095;
constexpr std::uint32_t kSoftLowestPolyphony = 1;
constexpr std::uint32_t kSoftHighestPolyphony = 256;

// Which value is out of its range, the first one found, and what to tell the user.
enum class SoftSettingField { None, AudioApi, BufferMs, SoundMemoryMb, Polyphony, Reverb, Chorus };
struct SoftSettingsCheck {
    SoftSettingField field = SoftSettingField::None;
    std::string message; // "Please enter a buffer length from 10 to 500 ms."
    bool Ok() const { return field == SoftSettingField::None; }
};

SoftSettingsCheck CheckSoftCardSettings(const SoftCardSettings& settings);
