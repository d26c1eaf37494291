// The simulated SoundFont Management System: SFMAN32.DLL's exports over the simulated card.
// The slots and switches are the portable ones of SimOperations; this front gives the card a
// state file beside the library, so that the next run finds the banks where this one left them.

#include "engine/SfmInterface.h"
#include "sim/SimOperations.h"

#include <windows.h>

#include <string>

namespace {

std::string ModulePath(HMODULE module)
{
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : MAX_PATH);
}

// "<the library's folder>\<the program's name>.sfcard": the card lives with the library that
// drives it, and each program in that folder has a card of its own, so test programs that
// run one after another in one folder never see each other's banks.
std::string StateFilePath()
{
    static const char kAnchor = 0;
    HMODULE library = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       &kAnchor, &library);
    std::string libraryPath = ModulePath(library);
    std::string programPath = ModulePath(nullptr);
    std::string folder = libraryPath.substr(0, libraryPath.find_last_of("\\/") + 1);
    std::string program = programPath.substr(programPath.find_last_of("\\/") + 1);
    return folder + program.substr(0, program.rfind('.')) + ".sfcard";
}

// The card finds its state file on first use, after this library's globals are set up.
[[maybe_unused]] const bool kStatePathSet = (SetSimStatePathSource(&StateFilePath), true);

} // namespace

extern "C" {
extern const SfmEntry SFManager;
extern const SimControlTable SimControl;
}

const SfmEntry SFManager = {&SimRequestInterface};

const SimControlTable SimControl = SimControls();
