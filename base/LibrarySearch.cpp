#include "base/LibrarySearch.h"

#include <windows.h>

namespace {

// Looked up rather than imported: Windows XP has SetDllDirectoryW only from its first service
// pack and none of the others; Windows 7 has them only with a later update.
template <typename Function>
Function KernelFunction(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

} // namespace

void KeepCurrentFolderOutOfLibrarySearch()
{
    using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    using AddDllDirectoryFunction = void*(WINAPI*)(LPCWSTR);

    // An empty folder, as opposed to none, takes the current folder out of the usual search.
    if (auto setDllDirectory = KernelFunction<SetDllDirectoryFunction>("SetDllDirectoryW"))
        setDllDirectory(L"");

    // Where the search can be narrowed to named folders (some systems, Wine among them, keep
    // the current folder after the above): the program's folder, the system folder and the
    // Windows folder.
    auto setDefault = KernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    auto addDirectory = KernelFunction<AddDllDirectoryFunction>("AddDllDirectory");
    if (!setDefault || !addDirectory)
        return;
    wchar_t windows[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        addDirectory(windows);
    setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);
}
