#include "tests/engine/SimAccess.h"

#include <windows.h>

#include <algorithm>

const SimControlTable* FindSimControl()
{
    HMODULE library = GetModuleHandleA(kSfmLibraryName);
    if (!library)
        return nullptr;
    return reinterpret_cast<const SimControlTable*>(
        reinterpret_cast<void*>(GetProcAddress(library, kSimControlName)));
}

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
