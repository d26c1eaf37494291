#pragma once
// One loaded SoundFont Management System library: the module, its `SFManager` entry and the
// operation table it hands out. Unloaded by its destructor; move-only.

#include "engine/EngineResult.h"
#include "engine/SfmInterface.h"

#include <windows.h>

#include <string>

class CSfmLibrary {
public:
    CSfmLibrary() = default;
    ~CSfmLibrary();
    CSfmLibrary(CSfmLibrary&& other) noexcept;
    CSfmLibrary& operator=(CSfmLibrary&& other) noexcept;
    CSfmLibrary(const CSfmLibrary&) = delete;
    CSfmLibrary& operator=(const CSfmLibrary&) = delete;

    // Loads `nameOrPath` (a bare name is found through the process's library search, which
    // the program narrows at start) and requests the operation table. Answers 0, or
    // kLibraryNotLoaded, kNoEntryPoint or kInterfaceRefused told by "Load Dll Failed", "Get
    // Entrypoint Fail" or "Interface Not Supported". A library loaded before is let go first.
    EngineResult Load(const std::string& nameOrPath = kSfmLibraryName);
    // Loads the library at this full path, the same way.
    EngineResult LoadFrom(const std::wstring& path);
    void Unload();

    // Null until a load succeeded.
    const SfmOperationTable* Operations() const { return m_operations; }

private:
    // Finds the entry in the module just loaded (null when the load failed) and asks it for
    // the operation table.
    EngineResult Bind();

    HMODULE m_module = nullptr;
    const SfmOperationTable* m_operations = nullptr;
};
