// Initialize as Tonewell meets it: a program that finds SFMAN32.DLL in its own folder, or finds
// none, or finds a library that lacks the entry point or refuses the interface. Each case copies
// the probe program and the case's library into a folder of its own and runs it there.

#include "tests/engine/SoundFontFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return program.substr(0, program.find_last_of('\\') + 1);
}

// A fresh folder holding the probe and each (file beside this test, name in the folder).
std::string StageProbe(const std::string& name,
                       const std::vector<std::pair<std::string, std::string>>& files)
{
    const std::string folder = FreshFolder(name);
    const std::string here = ProgramFolder();
    EXPECT_TRUE(CopyFileA((here + "engine_probe.exe").c_str(),
                          (folder + "engine_probe.exe").c_str(), FALSE));
    for (const auto& file : files)
        EXPECT_TRUE(CopyFileA((here + file.first).c_str(), (folder + file.second).c_str(), FALSE))
            << file.first;
    return folder;
}

// Runs the probe in its folder (also its current folder, so nothing is found elsewhere) and
// returns what it printed.
std::string RunProbe(const std::string& folder, const std::string& arguments = "")
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return "no pipe";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + folder + "engine_probe.exe\" " + arguments;
    BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  folder.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    char block[512];
    DWORD count = 0;
    while (started && ReadFile(readEnd, block, sizeof block, &count, nullptr) && count > 0)
        output.append(block, count);
    CloseHandle(readEnd);
    if (!started)
        return "not started";
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    return output;
}

TEST(Initialize, ReportsWhatItFoundInTheProgramFolder)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        const char* output;
    } cases[] = {
        {"no library", {}, "initialize 1 (Load Dll Failed)\ndevices 0\n"},
        {"no SFManager export", {{"sfm_no_entry.dll", "SFMAN32.DLL"}},
         "initialize 500 (Get Entrypoint Fail)\ndevices 0\n"},
        {"a refused interface", {{"sfm_refusing.dll", "SFMAN32.DLL"}},
         "initialize 501 (Interface Not Supported)\ndevices 0\n"},
        {"the simulated card", {{"SFMAN32.DLL", "SFMAN32.DLL"}}, "initialize 0 ()\ndevices 2\n"},
    };
    for (const Case& c : cases) {
        const std::string folder = StageProbe("initialize", c.files);
        EXPECT_EQ(RunProbe(folder), c.output) << c.name;
    }
}

// A card keeps its banks until the machine restarts: the next run of the program finds them.
TEST(Initialize, ABankLoadedInOneRunIsThereInTheNext)
{
    const std::string folder = StageProbe("persist", {{"SFMAN32.DLL", "SFMAN32.DLL"}});
    FixtureSoundFont font;
    font.name = "Kept Across Runs";
    font.presets = {{"Organ", 0, 19, 64}};
    WriteSoundFont(folder + "Kept.sf2", font);

    EXPECT_EQ(RunProbe(folder, "5 \"" + folder + "Kept.sf2\""),
              "initialize 0 ()\ndevices 2\nload 0 ()\nbank 0 5 Kept Across Runs\n");
    EXPECT_TRUE(std::ifstream(folder + "engine_probe.sfcard"))
        << "the card's state beside the library";
    EXPECT_EQ(RunProbe(folder), "initialize 0 ()\ndevices 2\nbank 0 5 Kept Across Runs\n");
}

} // namespace
