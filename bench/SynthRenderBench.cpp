// Our synthesizer beside FluidSynth (Debian's fluidsynth program), same SoundFont, same rate,
// reverb and chorus off in both:
//
//     bench_synth_render [FONT.sf2] [passes] [LOAD-FONT.sf2]
//
//   - a dense song of 30 seconds on 16 channels, generated here: render time, ours against
//     FluidSynth's (its whole run less its run on an empty song, which is its start and load);
//   - a held chord of many voices: CPU per voice, and the voices one core sustains in real time
//     at 44.1 kHz;
//   - loading a large SoundFont (FluidR3_GM by default): time and peak resident memory of a
//     child process that loads it, ours against FluidSynth's;
//   - heap allocations in our render and event paths over the whole dense song: must be 0.
// Figures are the medians of the passes, in CPU time (user and system) of this process's render
// and of FluidSynth's whole process, so that other work on a shared machine does not count.
// Native only: FluidSynth runs here.
#include "bench/AllocationCount.h"
#include "bench/DenseSong.h"
#include "render/SongRenderer.h"
#include "render/SynthesizerSource.h"
#include "song/MidiFileParser.h"
#include "synth/SynthFont.h"
#include "synth/Synthesizer.h"
#include "tests/support/SmfWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The CPU time this process has used (it renders on one thread).
double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

constexpr double kRate = 44100;
constexpr float kGain = 0.2f;
constexpr std::uint16_t kTicksPerQuarter = kDenseSongTicksPerQuarter;
constexpr double kSongSeconds = 30;

std::uint64_t Tick(double seconds)
{
    return static_cast<std::uint64_t>(seconds * 2 * kTicksPerQuarter);
}

std::uint32_t Message(int status, int d1, int d2 = 0)
{
    return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(d1) << 8 | static_cast<std::uint32_t>(d2) << 16;
}

// Fifteen channels of sustained presets, each holding `notesPerChannel` keys for 10 seconds.
SmfBytes HeldChord(int notesPerChannel)
{
    SmfWriter writer(kTicksPerQuarter, 0);
    SmfTrack& track = writer.AddTrack();
    const int sustained[4] = {19, 48, 52, 89}; // organ, strings, choir, pad
    for (int channel = 0; channel < 16; ++channel) {
        if (channel == 9)
            continue;
        track.Message(0, Message(0xC0 | channel, sustained[channel % 4]));
        for (int n = 0; n < notesPerChannel; ++n)
            track.Message(0, Message(0x90 | channel, 40 + (channel * 5 + n * 7) % 48, 100));
    }
    for (int channel = 0; channel < 16; ++channel)
        track.Message(Tick(10), Message(0xB0 | channel, 123, 0)); // all notes off
    track.EndOfTrack(Tick(10));
    return writer.File();
}

SmfBytes EmptySong()
{
    SmfWriter writer(kTicksPerQuarter, 0);
    writer.AddTrack().EndOfTrack(0);
    return writer.File();
}

// Takes the rendered frames and drops them, keeping the voice count at its highest.
class CountingSink : public IFrameSink {
public:
    explicit CountingSink(const CSynthesizer& synthesizer) : m_synthesizer(synthesizer) {}
    bool Write(const float*, std::size_t frames) override
    {
        this->frames += frames;
        voiceFrames += static_cast<double>(m_synthesizer.ActiveVoices()) * static_cast<double>(frames);
        return true;
    }
    std::uint64_t frames = 0;
    double voiceFrames = 0;

private:
    const CSynthesizer& m_synthesizer;
};

struct OurRender {
    double seconds = 0;      // CPU time of the render alone
    double audioSeconds = 0; // of sound rendered
    double meanVoices = 0;
    double voiceSeconds = 0; // the sum over the render of the voices sounding
    long allocations = 0;
};

OurRender RenderOurs(const std::shared_ptr<const CSynthFont>& font, const SmfBytes& midi)
{
    const SongLoad song = ParseMidiFile(midi.data(), midi.size());
    SynthConfig config;
    config.sampleRate = kRate;
    config.gain = kGain;
    config.reverb = false;
    config.chorus = false;
    CSynthesizer synthesizer(config);
    synthesizer.SetFont(font);
    CSynthesizerSource source(synthesizer);
    CountingSink sink(synthesizer);
    CSongRenderer renderer(source, kRate);
    const long allocationsBefore = AllocationsSoFar();
    const double start = ProcessCpuSeconds();
    renderer.Render(song.song, sink);
    OurRender result;
    result.seconds = ProcessCpuSeconds() - start;
    result.allocations = AllocationsSoFar() - allocationsBefore;
    result.audioSeconds = static_cast<double>(sink.frames) / kRate;
    result.meanVoices = sink.frames ? sink.voiceFrames / static_cast<double>(sink.frames) : 0;
    result.voiceSeconds = sink.voiceFrames / kRate;
    return result;
}

struct ChildRun {
    double seconds = 0; // CPU time, user and system
    double wallSeconds = 0;
    long peakKiB = 0;
    int status = -1;
};

// Runs the program with its arguments, its output thrown away; wall time and peak RSS. The
// peak counts the pages the child shares with this process until it starts the program, so
// memory is measured before this process loads a font.
ChildRun RunChild(const std::vector<std::string>& command)
{
    std::fflush(nullptr); // else the child's copy of the buffers is written again
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int nowhere = open("/dev/null", O_WRONLY);
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& part : command)
            argv.push_back(const_cast<char*>(part.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ChildRun run;
    struct rusage usage;
    int status = 0;
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        run.seconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
        run.peakKiB = usage.ru_maxrss;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

std::vector<std::string> FluidSynth(const std::string& font, const std::string& midi, const std::string& wave)
{
    return {"fluidsynth", "-ni", "-R", "0", "-C", "0", "-g", "0.2", "-r", "44100", "-F", wave, font, midi};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

template <typename Run>
double MedianSeconds(int passes, Run run)
{
    std::vector<double> seconds;
    for (int pass = 0; pass < passes; ++pass)
        seconds.push_back(run());
    return Median(seconds);
}

std::string WriteTemp(const std::string& name, const SmfBytes& bytes)
{
    const std::string path = "/tmp/tonewell-bench-" + std::to_string(getpid()) + "-" + name;
    if (!WriteBytesToFile(path, bytes)) {
        std::printf("cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

void DenseSongFigures(const std::shared_ptr<const CSynthFont>& font, const std::string& fontPath, int passes)
{
    DenseSongShape shape;
    shape.seconds = kSongSeconds;
    const SmfBytes dense = DenseSong(shape);
    const std::string densePath = WriteTemp("dense.mid", dense);
    const std::string emptyPath = WriteTemp("empty.mid", EmptySong());
    const std::string wave = "/tmp/tonewell-bench-" + std::to_string(getpid()) + ".wav";
    OurRender ours;
    const double oursSeconds = MedianSeconds(passes, [&] {
        ours = RenderOurs(font, dense);
        return ours.seconds;
    });
    const double fluidWhole = MedianSeconds(passes, [&] { return RunChild(FluidSynth(fontPath, densePath, wave)).seconds; });
    const double fluidEmpty = MedianSeconds(passes, [&] { return RunChild(FluidSynth(fontPath, emptyPath, wave)).seconds; });
    const double fluidRender = fluidWhole - fluidEmpty;
    std::printf("dense song, %.0f s, 16 channels (%.1f s of sound rendered by us, %.0f voices on average)\n",
                kSongSeconds, ours.audioSeconds, ours.meanVoices);
    std::printf("  ours:       %7.3f s  (%.1fx real time on one core)\n", oursSeconds, ours.audioSeconds / oursSeconds);
    std::printf("  FluidSynth: %7.3f s  (whole run %.3f s less its run on an empty song %.3f s)\n", fluidRender,
                fluidWhole, fluidEmpty);
    std::printf("  ours / FluidSynth: %.2f\n", oursSeconds / fluidRender);
    std::printf("  heap allocations in our render and event paths: %ld\n", ours.allocations);
    std::remove(densePath.c_str());
    std::remove(emptyPath.c_str());
    std::remove(wave.c_str());
}

// FluidSynth's share is worked out on our count of voices: the same notes of the same font
// start the same zones in both engines.
void VoiceFigures(const std::shared_ptr<const CSynthFont>& font, const std::string& fontPath, int passes)
{
    std::printf("held chord of 10 s on 15 channels, then released: CPU per voice (one core)\n");
    const std::string emptyPath = WriteTemp("empty.mid", EmptySong());
    const std::string wave = "/tmp/tonewell-bench-" + std::to_string(getpid()) + ".wav";
    const double fluidEmpty = MedianSeconds(passes, [&] { return RunChild(FluidSynth(fontPath, emptyPath, wave)).seconds; });
    for (int notes : {4, 8, 16}) {
        const SmfBytes chord = HeldChord(notes);
        const std::string chordPath = WriteTemp("chord.mid", chord);
        OurRender ours;
        const double seconds = MedianSeconds(passes, [&] {
            ours = RenderOurs(font, chord);
            return ours.seconds;
        });
        const double fluid =
            MedianSeconds(passes, [&] { return RunChild(FluidSynth(fontPath, chordPath, wave)).seconds; }) - fluidEmpty;
        const double ourShare = seconds / ours.voiceSeconds;
        const double fluidShare = fluid / ours.voiceSeconds;
        std::printf("  %3d keys, %4.0f voices on average: ours %.4f%% of a core a voice (%5.0f voices a core), "
                    "FluidSynth %.4f%% (%5.0f voices a core); ours / FluidSynth %.2f\n",
                    15 * notes, ours.meanVoices, 100 * ourShare, 1 / ourShare, 100 * fluidShare, 1 / fluidShare,
                    ourShare / fluidShare);
        std::remove(chordPath.c_str());
    }
    std::remove(emptyPath.c_str());
    std::remove(wave.c_str());
}

void LoadFigures(const std::string& fontPath, int passes)
{
    const std::string emptyPath = WriteTemp("empty.mid", EmptySong());
    const std::string wave = "/tmp/tonewell-bench-" + std::to_string(getpid()) + ".wav";
    std::vector<double> ourSeconds, fluidSeconds;
    long ourKiB = 0, fluidKiB = 0, bareKiB = 0;
    for (int pass = 0; pass < passes; ++pass) {
        const ChildRun ours = RunChild({"/proc/self/exe", "--load-only", fontPath});
        const ChildRun fluid = RunChild(FluidSynth(fontPath, emptyPath, wave));
        const ChildRun bare = RunChild({"/proc/self/exe", "--load-only", ""});
        if (ours.status != 0 || fluid.status != 0)
            std::printf("  a load failed (ours %d, FluidSynth %d)\n", ours.status, fluid.status);
        ourSeconds.push_back(ours.seconds);
        fluidSeconds.push_back(fluid.seconds);
        ourKiB = ours.peakKiB;
        fluidKiB = fluid.peakKiB;
        bareKiB = bare.peakKiB;
    }
    std::printf("loading %s (whole child process: start, load, end; CPU time, medians of %d passes)\n",
                fontPath.c_str(), passes);
    std::printf("  ours:       %.3f s, peak resident %.1f MB (the program without a font: %.1f MB)\n", Median(ourSeconds),
                ourKiB / 1024.0, bareKiB / 1024.0);
    std::printf("  FluidSynth: %.3f s, peak resident %.1f MB (its run on an empty song)\n", Median(fluidSeconds),
                fluidKiB / 1024.0);
    std::remove(emptyPath.c_str());
    std::remove(wave.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--load-only") == 0) {
        if (argv[2][0] == '\0')
            return 0;
        return LoadSynthFont(argv[2]).font ? 0 : 1;
    }
    const std::string fontPath = argc > 1 ? argv[1] : "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string loadPath = argc > 3 ? argv[3] : "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    if (RunChild({"fluidsynth", "--version"}).status != 0) {
        std::printf("fluidsynth is not installed: no figures\n");
        return 1;
    }
    LoadFigures(loadPath, passes);
    const SynthFontLoad load = LoadSynthFont(fontPath);
    if (!load.font) {
        std::printf("cannot load %s: %s\n", fontPath.c_str(), load.error.c_str());
        return 1;
    }
    std::printf("render: font %s, %.0f Hz, gain %.1f, reverb and chorus off, medians of %d passes\n", fontPath.c_str(),
                kRate, kGain, passes);
    DenseSongFigures(load.font, fontPath, passes);
    VoiceFigures(load.font, fontPath, passes);
    return 0;
}
