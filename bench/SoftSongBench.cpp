// A dense song played in real time through the software card's audio output: its buffers
// delivered late, the CPU it takes and the voices sounding:
//
//     bench_soft_song [seconds, default 60] [density, default 0.25] [request, e.g. wasapi:30]
//
// The whole of FluidR3_GM is loaded into bank 1 of "Software Synth 1" as the window loads a
// SoundFont, and the dense song of the synthesizer benchmarks (bench/DenseSong.h: 16 channels,
// at a quarter of its density about 128 voices sound) is played into the card's MIDI output, each
// message at its time, from this program's main thread, as a sequencer would. The card renders
// at the device's rate with its reverb and chorus, as it always does. Late buffers are the
// card's audio output's count: wake-ups that found the device had played everything written.
// CPU is this process's (the card, its audio thread, Wine's audio threads in it, the player).
// Needs an audio device: under Wine, the file sink of tools/wine-sound.sh. Where env
// TONEWELL_AUDIO_SINK names the sink's file, the song's recording is searched for breaks:
// runs of 1 ms or more of digital silence between its first and last sound, which only a
// device left without sound writes in a song this dense (its reverb never falls silent).
#include "bench/DenseSong.h"
#include "bench/SoftCardSession.h"
#include "song/MidiFileParser.h"
#include "tests/audio/WavRecording.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kDensity = 0.25;
constexpr int kBank = 1;
constexpr double kVoiceSampleSeconds = 0.05;

struct Played {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double meanVoices = 0;
    std::uint32_t maxVoices = 0;
    int refused = 0; // messages the card's queue had no room for
    SoftCardAudioFigures before {};
    SoftCardAudioFigures after {};
};

void WaitUntil(std::int64_t dueNs)
{
    for (std::int64_t now = SteadyNs(); now < dueNs; now = SteadyNs())
        Sleep(dueNs - now > 2000000 ? 1 : 0);
}

Played Play(CSoftCardSession& session, const Song& song)
{
    Played played;
    played.before = session.Figures();
    const double cpuBefore = ProcessCpuSeconds();
    const std::int64_t start = SteadyNs();
    double voiceSum = 0;
    int voiceSamples = 0;
    double nextSample = 0;
    for (const SongEvent& event : song.events) {
        WaitUntil(start + static_cast<std::int64_t>(event.seconds * 1e9));
        const std::uint32_t m = event.message;
        if (session.Output().SendShortMessage(m & 0xFF, (m >> 8) & 0x7F, (m >> 16) & 0x7F) != MMSYSERR_NOERROR)
            ++played.refused;
        if (event.seconds >= nextSample) {
            const std::uint32_t voices = session.Figures().voices;
            voiceSum += voices;
            ++voiceSamples;
            played.maxVoices = std::max(played.maxVoices, voices);
            nextSample = event.seconds + kVoiceSampleSeconds;
        }
    }
    WaitUntil(start + static_cast<std::int64_t>(song.lengthSeconds * 1e9));
    played.after = session.Figures();
    played.wallSeconds = MsBetween(start, SteadyNs()) / 1000.0;
    played.cpuSeconds = ProcessCpuSeconds() - cpuBefore;
    played.meanVoices = voiceSamples ? voiceSum / voiceSamples : 0;
    return played;
}

const char* SinkPath()
{
    const char* sink = std::getenv("TONEWELL_AUDIO_SINK");
    return sink && *sink ? sink : nullptr;
}

std::vector<unsigned char> ReadAll(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

struct Breaks {
    std::string problem; // "" when the recording was read
    int count = 0;
    double longestMs = 0;
    double totalMs = 0;
    double soundSeconds = 0; // from the first sound to the last
};

// The sink writes a plain 44-byte header and fills in its sizes only once the stream ends:
// while it plays, the data runs to the end of the file.
void FillInDataSize(std::vector<unsigned char>& bytes)
{
    constexpr std::size_t kHeaderBytes = 44;
    if (bytes.size() < kHeaderBytes || std::string(bytes.begin() + 36, bytes.begin() + 40) != "data")
        return;
    const std::uint32_t size = static_cast<std::uint32_t>(bytes.size() - kHeaderBytes);
    for (int i = 0; i < 4; ++i)
        bytes[40 + i] = static_cast<unsigned char>(size >> (8 * i));
}

// In the recording from `fromBytes` of the file on.
Breaks FindBreaks(const char* path, std::size_t fromBytes)
{
    Breaks breaks;
    WavRecording recording;
    std::vector<unsigned char> bytes = ReadAll(path);
    FillInDataSize(bytes);
    breaks.problem = ReadWavRecording(bytes, &recording);
    if (!breaks.problem.empty() || recording.rate == 0 || recording.channels == 0)
        return breaks;
    const std::vector<float>& mono = recording.mono;
    const std::size_t frameBytes = recording.channels * recording.bits / 8;
    std::size_t first = std::min(mono.size(), fromBytes / std::max<std::size_t>(frameBytes, 1));
    while (first < mono.size() && mono[first] == 0.0f)
        ++first;
    std::size_t last = mono.size();
    while (last > first && mono[last - 1] == 0.0f)
        --last;
    const std::size_t shortest = recording.rate / 1000;
    std::size_t run = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (i < last && mono[i] == 0.0f) {
            ++run;
            continue;
        }
        if (run >= shortest) {
            const double ms = 1000.0 * run / recording.rate;
            ++breaks.count;
            breaks.totalMs += ms;
            breaks.longestMs = std::max(breaks.longestMs, ms);
        }
        run = 0;
    }
    breaks.soundSeconds = static_cast<double>(last - first) / recording.rate;
    return breaks;
}

void PrintBreaks(const char* sink, std::size_t fromBytes)
{
    Sleep(1000); // what the sink still holds
    const Breaks breaks = FindBreaks(sink, fromBytes);
    if (!breaks.problem.empty()) {
        std::printf("  the recording could not be read: %s\n", breaks.problem.c_str());
        return;
    }
    std::printf("  recording: %.1f s of sound, %d breaks of 1 ms or more (longest %.1f ms, %.1f ms in all)\n",
        breaks.soundSeconds, breaks.count, breaks.longestMs, breaks.totalMs);
}

unsigned Processors()
{
    SYSTEM_INFO system {};
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors ? system.dwNumberOfProcessors : 1;
}

void Print(const Played& played, const std::string& audio)
{
    const SoftCardAudioFigures& after = played.after;
    const double periodMs = after.rate ? 1000.0 * after.periodFrames / after.rate : 0;
    const unsigned long long buffers = after.buffers - played.before.buffers;
    std::printf("  audio: %s\n", audio.c_str());
    std::printf("  played %.1f s: buffers handed %llu, late %llu; fill-to-queue mean %.0f us, max %.0f us "
                "(the period is %.1f ms)\n",
        played.wallSeconds, buffers, static_cast<unsigned long long>(after.lateBuffers - played.before.lateBuffers),
        after.fillToQueueMeanUs, after.fillToQueueMaxUs, periodMs);
    std::printf("  voices sounding: mean %.0f, max %u (sampled every %.0f ms)\n", played.meanVoices, played.maxVoices,
        kVoiceSampleSeconds * 1000);
    const double load = played.cpuSeconds / played.wallSeconds;
    std::printf("  CPU of the process: %.1f s in %.1f s, %.0f%% of one core, %.0f%% of the machine's %u\n",
        played.cpuSeconds, played.wallSeconds, 100 * load, 100 * load / Processors(), Processors());
    if (played.refused)
        std::printf("  messages refused by the card's queue: %d\n", played.refused);
}

} // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    if (seconds < 2)
        seconds = 60;
    DenseSongShape shape;
    shape.seconds = seconds;
    shape.density = argc > 2 ? std::atof(argv[2]) : kDensity;
    if (shape.density <= 0 || shape.density > 1)
        shape.density = kDensity;
    shape.bank = kBank;
    const std::string request = argc > 3 ? argv[3] : "";
    std::printf("software card: a dense song of %.0f s on 16 channels at density %.2f (about %.0f notes a second), "
                "played in real time, FluidR3_GM in bank %d\n",
        seconds, shape.density, 158 * shape.density, kBank);
    CSoftCardSession session(request);
    if (!session.Problem().empty()) {
        std::printf("  could not play: %s\n", session.Problem().c_str());
        return 1;
    }
    const std::int64_t loadStart = SteadyNs();
    CardResult loaded = session.Card().Load(session.Device(), kBank, kFluidFont);
    if (!loaded.Ok()) {
        std::printf("  FluidR3_GM could not be loaded: %s\n", loaded.result.Text());
        return 1;
    }
    std::printf("  FluidR3_GM loaded in %.2f s\n", MsBetween(loadStart, SteadyNs()) / 1000.0);
    const SmfBytes midi = DenseSong(shape);
    const SongLoad song = ParseMidiFile(midi.data(), midi.size());
    if (!song.error.empty()) {
        std::printf("  the song could not be read: %s\n", song.error.c_str());
        return 1;
    }
    Sleep(500);
    const char* sink = SinkPath();
    const std::size_t recordedBefore = sink ? ReadAll(sink).size() : 0;
    const Played played = Play(session, song.song);
    Print(played, session.DescribeAudio());
    if (sink)
        PrintBreaks(sink, recordedBefore);
    return 0;
}
