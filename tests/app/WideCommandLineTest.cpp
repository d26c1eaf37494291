// The command line after the program's name, in UTF-8, cut as the runtime cuts it for WinMain.

#include "app/WideCommandLine.h"

#include <gtest/gtest.h>

namespace {

struct CommandLineCase {
    const char* name;
    const wchar_t* commandLine;
    std::string arguments;
};

} // namespace

TEST(WideCommandLineTest, TheTextAfterTheProgramsNameIsKeptWholeInEveryScript)
{
    const CommandLineCase cases[] = {
        {"no arguments", L"tonewell.exe", ""},
        {"a plain path", L"tonewell.exe C:\\a.sf2", "C:\\a.sf2"},
        {"blanks after the name", L"tonewell.exe \t  C:\\a.sf2", "C:\\a.sf2"},
        {"a quoted program name with a blank", L"\"C:\\Program Files\\tonewell.exe\" x.sf2", "x.sf2"},
        {"a quoted program name and nothing after", L"\"C:\\t w\\tonewell.exe\"", ""},
        {"quotes around the argument are kept", L"tonewell.exe \"C:\\My Sounds\\a.sf2\"",
         "\"C:\\My Sounds\\a.sf2\""},
        {"a Japanese path", L"tonewell.exe C:\\\u65E5\u672C.sf2", "C:\\\xE6\x97\xA5\xE6\x9C\xAC.sf2"},
        {"an emoji", L"tonewell.exe \U0001F3B9.sf2", "\xF0\x9F\x8E\xB9.sf2"},
        {"an unclosed quote", L"\"tonewell.exe", ""},
    };
    for (const CommandLineCase& c : cases)
        EXPECT_EQ(ArgumentsAfterProgram(c.commandLine), c.arguments) << c.name;
    EXPECT_EQ(ArgumentsAfterProgram(nullptr), "");
}
