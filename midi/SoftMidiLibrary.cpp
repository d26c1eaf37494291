#include "midi/SoftMidiLibrary.h"

#include "midi/CompositeMidiApi.h"

#include <cstdio>

namespace {

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, length < MAX_PATH ? length : MAX_PATH);
    return text.substr(0, text.find_last_of(L"\\/") + 1);
}

std::wstring Widen(const char* ascii)
{
    std::wstring text;
    for (; *ascii; ++ascii)
        text += static_cast<wchar_t>(*ascii);
    return text;
}

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
    const std::wstring path = ProgramFolder() + Widen(kSoftCardLibraryName);
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
