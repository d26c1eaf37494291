#include "render/RenderArguments.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

const char* const kRenderUsage =
    "usage: sf2render [-r RATE] [-g GAIN] [--no-reverb] [--no-chorus] [--float] FONT.sf2 SONG.mid OUT.wav";

namespace {

// The whole text is a finite number.
bool ParseNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

std::string Number(double value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

    ArgumentsParse Run()
    {
        ArgumentsParse parse;
        std::vector<std::string> operands;
        for (m_next = 0; m_next < m_arguments.size() && parse.error.empty();) {
            const std::string& argument = m_arguments[m_next++];
            if (argument.size() > 1 && argument[0] == '-')
                parse.error = Option(argument, parse.arguments);
            else
                operands.push_back(argument);
        }
        if (parse.error.empty() && operands.size() != 3)
            parse.error = "expected a SoundFont, a MIDI file and a wave file to write; got " +
                          std::to_string(operands.size()) + " file names";
        if (parse.error.empty()) {
            parse.arguments.font = operands[0];
            parse.arguments.song = operands[1];
            parse.arguments.output = operands[2];
        }
        return parse;
    }

private:
    std::string Option(const std::string& option, RenderArguments& arguments)
    {
        if (option == "--no-reverb")
            arguments.reverb = false;
        else if (option == "--no-chorus")
            arguments.chorus = false;
        else if (option == "--float")
            arguments.format = WaveSampleFormat::Float32;
        else if (option == "-r")
            return NumberIn(option, kMinSampleRate, kMaxSampleRate, arguments.sampleRate);
        else if (option == "-g") {
            double gain = 0;
            const std::string error = NumberIn(option, 0, kMaxGain, gain);
            arguments.gain = static_cast<float>(gain);
            return error;
        } else
            return "unknown option " + option;
        return "";
    }

    std::string NumberIn(const std::string& option, double low, double high, double& value)
    {
        if (m_next >= m_arguments.size())
            return option + " needs a number after it";
        const std::string& text = m_arguments[m_next++];
        if (!ParseNumber(text, value) || value < low || value > high)
            return option + " takes a number from " + Number(low) + " to " + Number(high) + ", not " + text;
        return "";
    }

    const std::vector<std::string>& m_arguments;
    std::size_t m_next = 0;
};

} // namespace

ArgumentsParse ParseRenderArguments(const std::vector<std::string>& arguments)
{
    return Parser(arguments).Run();
}
