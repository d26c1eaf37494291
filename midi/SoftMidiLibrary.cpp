#include "midi/SoftMidiLibrary.h"

#include "midi/CompositeMidiApi.h"

#include <cstdio>

namespace {

std::string Describe(const char* what, DWORD error)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s %s (error %lu)", kSoftCardLibraryName, what,
                  static_cast<unsigned long>(error));
    return text;
}

} // namespace

CSoftMidiLibrary::CSoftMidiLibrary()
{
    const std::wstring path = SoftCardLibraryPath();
    m_library = LoadLibraryW(path.c_str());
    if (!m_library) {
        m_failure = Describe("could not be loaded", GetLastError());
        return;
    }
    auto table = reinterpret_cast<const SoftMidiTable*>(GetProcAddress(m_library, kSoftMidiEntryName));
    if (!table || table->version != kSoftMidiVersion) {
        m_failure = Describe("offers no MIDI outputs of this version", table ? 0 : GetLastError());
        return;
    }
    InstallSoftMidiOutputs(table);
    m_installed = true;
}

CSoftMidiLibrary::~CSoftMidiLibrary()
{
    if (m_installed)
        RemoveSoftMidiOutputs();
    if (m_library)
        FreeLibrary(m_library);
}
