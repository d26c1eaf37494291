// The audio output per API: what period and buffer each gives, the time from asking the
// render callback for a buffer to the buffer being queued (inside the program), and the
// buffers that came too late, over a run of several seconds:
//
//     bench_audio_output [seconds per run, default 3]
//
// Needs an audio device; under Wine, tools/bench.sh gives it one (tools/wine-sound.sh). The
// callback renders a sine, about the cheapest sound there is: the figures are the output's
// own cost, not a synthesizer's. "Late" counts the wake-ups that found the device had played
// everything written; Wine's file sink reports every frame played as soon as it takes it (it
// is held back by the pipe behind it instead), so there short buffers count as late while
// the recording has no gap: the tests judge gaps in the recording itself.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "audio/AudioOutput.h"

namespace {

struct Run {
    AudioApiChoice api;
    unsigned bufferMs;
};

const Run kRuns[] = {
    {AudioApiChoice::Wasapi, 10},
    {AudioApiChoice::Wasapi, 30},
    {AudioApiChoice::Wasapi, 100},
    {AudioApiChoice::DirectSound, 30},
    {AudioApiChoice::DirectSound, 100},
    {AudioApiChoice::WaveOut, 30},
    {AudioApiChoice::WaveOut, 100},
};

void PrintRun(const Run& run, int seconds)
{
    AudioRequest request;
    request.api = run.api;
    request.fallBack = false;
    request.bufferMs = run.bufferMs;
    double phase = 0.0, step = 0.0;
    auto sine = [&](float* stereo, size_t frames) {
        for (size_t i = 0; i < frames; ++i, phase += step)
            stereo[2 * i] = stereo[2 * i + 1] = 0.25f * static_cast<float>(std::sin(phase));
        phase = std::fmod(phase, 6.283185307179586);
    };
    CAudioOutput output;
    std::string error;
    if (!output.Open(request, sine, &error)) {
        std::printf(
            "%-12s %4u ms  could not open: %s\n", AudioApiChoiceKey(run.api), run.bufferMs, error.c_str());
        return;
    }
    const AudioStreamInfo& info = output.Info();
    step = 6.283185307179586 * 440.0 / info.format.rate;
    if (!output.Start(&error)) {
        std::printf(
            "%-12s %4u ms  could not start: %s\n", AudioApiChoiceKey(run.api), run.bufferMs, error.c_str());
        return;
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    AudioStatsSnapshot stats = output.Stats();
    output.Close();
    std::printf("%-12s %4u ms  %6u Hz  period %5u (%5.1f ms)  buffer %5u (%5.1f ms)  latency %6.1f ms  "
                "fill-to-queue %6.1f / %7.1f us  buffers %5llu  late %4llu%s\n",
        AudioApiChoiceKey(run.api), run.bufferMs, info.format.rate, info.periodFrames,
        MsOfFrames(info.format.rate, info.periodFrames), info.bufferFrames,
        MsOfFrames(info.format.rate, info.bufferFrames), info.latencyMs, stats.fillToQueueMeanUs,
        stats.fillToQueueMaxUs, static_cast<unsigned long long>(stats.buffers),
        static_cast<unsigned long long>(stats.lateBuffers), output.Failed() ? "  FAILED" : "");
}

} // namespace

int main(int argc, char** argv)
{
    int seconds = argc > 1 ? std::atoi(argv[1]) : 3;
    if (seconds <= 0)
        seconds = 3;
    std::printf("audio output, %d s a run; asked buffer, the device's rate, period and buffer in frames, "
                "fill-to-queue mean / max\n",
        seconds);
    for (const Run& run : kRuns)
        PrintRun(run, seconds);
    return 0;
}
