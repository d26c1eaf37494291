#include "render/RenderArguments.h"

#include <gtest/gtest.h>

namespace {

// "rate gain reverb chorus format font song output" of a good command line.
std::string Describe(const RenderArguments& a)
{
    return std::to_string(static_cast<int>(a.sampleRate)) + " " + std::to_string(a.gain).substr(0, 4) + " " +
           (a.reverb ? "reverb" : "dry") + " " + (a.chorus ? "chorus" : "plain") + " " +
           (a.format == WaveSampleFormat::Pcm16 ? "pcm16" : "float") + " " + a.font + " " + a.song + " " + a.output;
}

struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string expected; // the description, or the error
};

TEST(RenderArgumentsTest, ReadsTheCommandLineOrSaysWhatIsWrong)
{
    const Case cases[] = {
        {"files alone: the defaults", {"a.sf2", "b.mid", "c.wav"}, "44100 0.20 reverb chorus pcm16 a.sf2 b.mid c.wav"},
        {"every option, options among the files",
         {"-r", "48000", "a.sf2", "--no-reverb", "-g", "0.5", "b.mid", "--no-chorus", "--float", "c.wav"},
         "48000 0.50 dry plain float a.sf2 b.mid c.wav"},
        {"a lone dash is a file name", {"-", "b.mid", "c.wav"}, "44100 0.20 reverb chorus pcm16 - b.mid c.wav"},
        {"the bounds are allowed", {"-r", "22050", "-g", "0", "a", "b", "c"}, "22050 0.00 reverb chorus pcm16 a b c"},
        {"no arguments", {}, "expected a SoundFont, a MIDI file and a wave file to write; got 0 file names"},
        {"four files", {"a", "b", "c", "d"}, "expected a SoundFont, a MIDI file and a wave file to write; got 4 file names"},
        {"unknown option", {"-x", "a", "b", "c"}, "unknown option -x"},
        {"rate without its number", {"a", "b", "c", "-r"}, "-r needs a number after it"},
        {"rate not a number", {"-r", "fast", "a", "b", "c"}, "-r takes a number from 22050 to 96000, not fast"},
        {"rate with trailing text", {"-r", "44100Hz", "a", "b", "c"}, "-r takes a number from 22050 to 96000, not 44100Hz"},
        {"rate too low", {"-r", "8000", "a", "b", "c"}, "-r takes a number from 22050 to 96000, not 8000"},
        {"gain negative", {"-g", "-1", "a", "b", "c"}, "-g takes a number from 0 to 10, not -1"},
        {"gain not finite", {"-g", "nan", "a", "b", "c"}, "-g takes a number from 0 to 10, not nan"},
    };
    for (const Case& c : cases) {
        const ArgumentsParse parse = ParseRenderArguments(c.arguments);
        EXPECT_EQ(parse.error.empty() ? Describe(parse.arguments) : parse.error, c.expected) << c.name;
    }
}

} // namespace
