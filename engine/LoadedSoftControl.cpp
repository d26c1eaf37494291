#include "engine/LoadedSoftControl.h"

#include "base/SoftCardLibrary.h"

#include <windows.h>

#include <vector>

const SoftControlTable* LoadedSoftControl()
{
    HMODULE library = GetModuleHandleW(SoftCardLibraryPath().c_str());
    if (!library)
        return nullptr;
    return reinterpret_cast<const SoftControlTable*>(
        reinterpret_cast<void*>(GetProcAddress(library, kSoftControlName)));
}

std::string SoftCardAudioFailure()
{
    const SoftControlTable* control = LoadedSoftControl();
    if (!control)
        return std::string();
    std::vector<char> text(control->AudioFailure(nullptr, 0) + 1u, '\0');
    control->AudioFailure(text.data(), static_cast<std::uint32_t>(text.size()));
    return text.data();
}
