// sf2render: plays a MIDI file through a SoundFont with Tonewell's synthesizer into a wave
// file, as fast as the machine goes, until the sound has died away after the song's end.
//
//     sf2render [-r RATE] [-g GAIN] [--no-reverb] [--no-chorus] [--float] FONT.sf2 SONG.mid OUT.wav
//
// Exit status: 0 when the file was written; 1 when a file could not be read or written; 2 for
// a command line it does not understand. Every error is one line on the standard error.
#include "render/RenderArguments.h"
#include "render/SongRenderer.h"
#include "render/SynthesizerSource.h"
#include "render/WaveFileWriter.h"
#include "song/MidiFileReader.h"
#include "synth/SynthFont.h"
#include "synth/Synthesizer.h"

#ifdef _WIN32
#include "base/WideText.h"

#include <windows.h>
#include <shellapi.h>
#endif

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWritten = 0;
constexpr int kFileError = 1;
constexpr int kUsageError = 2;

int Fail(int status, const std::string& message)
{
    std::fprintf(stderr, "sf2render: %s\n", message.c_str());
    return status;
}

// The arguments as UTF-8: on Windows from the wide command line, since the 8-bit one holds
// only names the ANSI code page can write.
std::vector<std::string> Arguments(int argc, char** argv)
{
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i)
        arguments.push_back(NarrowToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

// The longest sound a render of the song may make, from the song and the tail's bound.
bool FitsOneWaveFile(const Song& song, const RenderArguments& arguments)
{
    const std::uint64_t frames = FrameOf(song.lengthSeconds + RenderTail().maxSeconds, arguments.sampleRate) +
                                 CSongRenderer::kBlockFrames;
    return FitsWaveFile(frames * WaveBytesPerFrame(arguments.format), arguments.format);
}

int Render(const RenderArguments& arguments)
{
    const SongLoad song = ReadMidiFile(arguments.song);
    if (!song.error.empty())
        return Fail(kFileError, arguments.song + ": " + song.error);
    if (!FitsOneWaveFile(song.song, arguments))
        return Fail(kFileError, arguments.song + ": the song lasts " + std::to_string(song.song.lengthSeconds / 3600) +
                                    " hours, longer than one wave file holds");
    const SynthFontLoad font = LoadSynthFont(arguments.font);
    if (!font.font)
        return Fail(kFileError, "cannot load the SoundFont " + arguments.font + ": " + font.error);

    SynthConfig config;
    config.sampleRate = arguments.sampleRate;
    config.gain = arguments.gain;
    config.reverb = arguments.reverb;
    config.chorus = arguments.chorus;
    CSynthesizer synthesizer(config);
    synthesizer.SetFont(font.font);
    CSynthesizerSource source(synthesizer);

    CWaveFileWriter writer;
    if (!writer.Open(arguments.output, static_cast<std::uint32_t>(arguments.sampleRate), arguments.format))
        return Fail(kFileError, writer.Error());
    const RenderOutcome outcome = CSongRenderer(source, arguments.sampleRate).Render(song.song, writer);
    if (outcome.sinkFailed || !writer.Finish())
        return Fail(kFileError, writer.Error());
    if (outcome.refusedMessages > 0)
        std::fprintf(stderr, "sf2render: the synthesizer refused %llu of the song's messages\n",
                     static_cast<unsigned long long>(outcome.refusedMessages));
    std::printf("%s: %.2f s at %.0f Hz\n", arguments.output.c_str(), outcome.frames / arguments.sampleRate,
                arguments.sampleRate);
    return kWritten;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = Arguments(argc, argv);
    if (arguments.empty()) {
        std::fprintf(stderr, "%s\n", kRenderUsage);
        return kUsageError;
    }
    const ArgumentsParse parse = ParseRenderArguments(arguments);
    if (!parse.error.empty())
        return Fail(kUsageError, parse.error + " (sf2render alone shows its usage)");
    return Render(parse.arguments);
}
