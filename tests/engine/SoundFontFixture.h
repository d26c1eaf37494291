#pragma once
// Small SoundFont 2 and wave files built in the tests, so each test shows the bytes it relies
// on. Needs no Windows header.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FixturePreset {
    std::string name;
    std::uint16_t bank = 0;
    std::uint16_t preset = 0;
    // Frames of the one sample its one instrument plays (two bytes each).
    std::uint32_t sampleFrames = 0;
};

struct FixtureSoundFont {
    // The INAM text; none when empty.
    std::optional<std::string> name;
    std::vector<FixturePreset> presets;
    // When set, the smpl chunk declares this many bytes instead of the presets' samples, and
    // the file is written sparse: for files too large to write out.
    std::optional<std::uint64_t> declaredSampleBytes;
    // Samples that sound: a full-scale sine of kFixtureSinePeriod frames, looped over the
    // whole sample, root key 60 (silent and unlooped otherwise).
    bool audible = false;
};

constexpr std::uint32_t kFixtureSinePeriod = 50;

// The whole file, as bytes (not for declaredSampleBytes).
std::string SoundFontBytes(const FixtureSoundFont& soundFont);
// Writes the file; a declared sample size leaves a hole where the samples would be.
void WriteSoundFont(const std::string& path, const FixtureSoundFont& soundFont);
// Bytes of sample data the file holds: what loading it takes from sound memory.
std::uint64_t SampleBytes(const FixtureSoundFont& soundFont);

// A RIFF WAVE file with a format chunk and `dataBytes` bytes of 16-bit mono samples.
std::string WaveBytes(std::uint32_t dataBytes);
// The same at 22,050 frames a second holding `frames` frames of the sine of kFixtureSinePeriod
// (441 Hz): played at its root key 60, whole periods loop without a click.
std::string SineWaveBytes(std::uint32_t frames);

void WriteBytes(const std::string& path, const std::string& bytes);
// A new, empty folder for one test under the system's temporary folder; its path ends with a
// separator.
std::string FreshFolder(const std::string& name);
