// The end-to-end tests' listener: the first note in a recording (the WAV file a Wine session's
// sound sink wrote) as one line, "onset=SECONDS end=SECONDS hz=PITCH": where it rises above
// the threshold, where it falls below it for good (a tenth of a second of quiet), and its pitch
// from 0.12 s to 0.42 s after its onset (0 when none is found there).
//
//   recorded_note WAV
//
// Exit status 1 when the file can't be read or holds no note; 2 for a wrong command line.

#include "tests/audio/SoundMeasures.h"
#include "tests/audio/WavRecording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr float kThreshold = 0.01f;
constexpr double kQuietSeconds = 0.1;
constexpr double kPitchFrom = 0.12, kPitchTo = 0.42;

bool Loud(float sample) { return std::fabs(sample) > kThreshold; }

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: recorded_note WAV\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    WavRecording recording;
    const std::string error = ReadWavRecording(bytes, &recording);
    if (!error.empty() || recording.rate == 0) {
        std::fprintf(stderr, "recorded_note: %s: %s\n", argv[1], error.empty() ? "no frames a second" : error.c_str());
        return 1;
    }
    const std::vector<float>& mono = recording.mono;
    std::size_t onset = 0;
    while (onset < mono.size() && !Loud(mono[onset]))
        ++onset;
    if (onset == mono.size()) {
        float loudest = 0;
        for (float sample : mono)
            loudest = std::max(loudest, std::fabs(sample));
        std::fprintf(stderr, "recorded_note: %s holds no note: nothing above %g in %.3f s, the loudest sample %g\n",
                     argv[1], kThreshold, static_cast<double>(mono.size()) / recording.rate, loudest);
        return 1;
    }
    const std::size_t quietNeeded = static_cast<std::size_t>(kQuietSeconds * recording.rate);
    std::size_t end = onset, quiet = 0;
    for (std::size_t n = onset; n < mono.size() && quiet < quietNeeded; ++n) {
        quiet = Loud(mono[n]) ? 0 : quiet + 1;
        if (!quiet)
            end = n + 1;
    }
    const auto at = [&](double seconds) {
        return std::min(mono.size(), onset + static_cast<std::size_t>(seconds * recording.rate));
    };
    const std::vector<float> held(mono.begin() + static_cast<std::ptrdiff_t>(at(kPitchFrom)),
                                  mono.begin() + static_cast<std::ptrdiff_t>(at(kPitchTo)));
    const double hz = AutocorrelationPitch(held, recording.rate, 50.0, 2000.0);
    std::printf("onset=%.3f end=%.3f hz=%.2f\n", static_cast<double>(onset) / recording.rate,
                static_cast<double>(end) / recording.rate, hz);
    return 0;
}
