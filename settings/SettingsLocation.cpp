#include "settings/SettingsLocation.h"

#include "settings/Profile.h"

#include <windows.h>
#include <shlobj.h>

namespace {

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The user's folder, made if it is missing; false when it can't be.
bool MakeFolder(const std::string& folderWithSeparator)
{
    std::string folder = folderWithSeparator.substr(0, folderWithSeparator.size() - 1);
    return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace

bool CSettingsLocation::CanWrite(const std::string& path)
{
    bool existed = FileExists(path);
    DWORD flags = existed ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_DELETE_ON_CLOSE;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              existed ? OPEN_EXISTING : CREATE_NEW, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

SettingsLocation CSettingsLocation::Choose(const std::string& programFolder, const std::string& userFolder)
{
    const std::string beside = programFolder + kFileName;
    if (CanWrite(beside))
        return {beside, true};
    if (!userFolder.empty() && MakeFolder(userFolder)) {
        const std::string own = userFolder + kFileName;
        // The file beside the program is the starting point, once: later runs keep their own.
        // A copy of a read-only file is read-only too.
        if (!FileExists(own) && FileExists(beside) && CopyFileA(beside.c_str(), own.c_str(), TRUE))
            SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (CanWrite(own))
            return {own, true};
    }
    // Nowhere to write: the settings beside the program are still read.
    return {beside, false};
}

SettingsLocation CSettingsLocation::ForThisProgram()
{
    char appData[MAX_PATH] = {};
    std::string userFolder;
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        userFolder = std::string(appData) + "\\Tonewell\\";
    return Choose(CProfile::ProgramDirectory(), userFolder);
}
