#include "base/SoftCardLibrary.h"

#include <windows.h>

std::wstring SoftCardLibraryPath()
{
    // Long enough for any folder the program can be started from.
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return std::wstring();
    path.resize(length);
    path.erase(path.find_last_of(L"\\/") + 1);
    for (const char* name = kSoftCardLibraryName; *name; ++name)
        path += static_cast<wchar_t>(*name);
    return path;
}
