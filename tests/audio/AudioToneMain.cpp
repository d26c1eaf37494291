// audio_tone [auto|wasapi|directsound|waveout] [buffer ms] [play ms]: plays a 440 Hz tone
// through the audio output and says what was opened. For trying a machine's audio by hand;
// its imports are checked against Windows XP's like the program's.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "audio/AudioOutput.h"

int main(int argc, char** argv)
{
    AudioRequest request;
    if (argc > 1 && !ParseAudioApiChoice(argv[1], &request.api)) {
        std::fprintf(
            stderr, "audio_tone: unknown audio API '%s' (auto, wasapi, directsound, waveout)\n", argv[1]);
        return 2;
    }
    if (argc > 2)
        request.bufferMs = static_cast<unsigned>(std::atoi(argv[2]));
    int playMs = argc > 3 ? std::atoi(argv[3]) : 1000;

    CAudioOutput output;
    double phase = 0.0, step = 0.0;
    std::string error;
    auto tone = [&](float* stereo, size_t frames) {
        for (size_t i = 0; i < frames; ++i, phase += step)
            stereo[2 * i] = stereo[2 * i + 1] = 0.25f * static_cast<float>(std::sin(phase));
        phase = std::fmod(phase, 6.283185307179586);
    };
    if (!output.Open(request, tone, &error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    step = 6.283185307179586 * 440.0 / output.Info().format.rate;
    std::printf("%s\n", DescribeStream(output.Info()).c_str());
    if (!output.Start(&error)) {
        std::printf("%s\n", error.c_str());
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(playMs));
    AudioStatsSnapshot stats = output.Stats();
    output.Close();
    std::printf("played: %llu buffers, %llu late\n", static_cast<unsigned long long>(stats.buffers),
        static_cast<unsigned long long>(stats.lateBuffers));
    return 0;
}
