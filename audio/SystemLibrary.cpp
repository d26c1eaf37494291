#include "audio/SystemLibrary.h"

#include <string>

CSystemLibrary::CSystemLibrary(const wchar_t* fileName)
{
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        m_loadError = GetLastError();
        return;
    }
    std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
    m_module = LoadLibraryW(path.c_str());
    if (!m_module)
        m_loadError = GetLastError();
}

CSystemLibrary::~CSystemLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
}
