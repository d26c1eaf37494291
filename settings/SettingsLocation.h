#pragma once
// Where the settings file lives. Beside the program when that folder lets it be written (an
// unpacked zip, a portable copy); otherwise in the user's application data folder, which
// starts as a copy of the file beside the program when there is one. Found out by trying to
// write, so a folder that only looks writable (or a read-only file) counts as what it is.

#include <string>

struct SettingsLocation {
    std::string path;      // the file to read and write
    bool writable = false; // false when no place could be written: the settings will be lost
};

class CSettingsLocation {
public:
    static constexpr const char* kFileName = "tnw.ini";

    // `programFolder` and `userFolder` end in a separator; `userFolder` is the folder of this
    // program's own in the user's application data (made when needed), empty when unknown.
    static SettingsLocation Choose(const std::string& programFolder, const std::string& userFolder);

    // The choice for the running program: its own folder and %APPDATA%\Tonewell\.
    static SettingsLocation ForThisProgram();

    // Whether the file can be written: an existing one is opened for writing and left as it
    // is; a missing one is created and deleted again.
    static bool CanWrite(const std::string& path);
};
