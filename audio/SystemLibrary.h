#pragma once
// A library of Windows loaded from the system folder by full path (never from the program's
// or the current folder), with its functions found by name: the audio APIs that Windows XP
// lacks or that not every system has are bound this way, never imported.
#include <windows.h>

class CSystemLibrary {
public:
    explicit CSystemLibrary(const wchar_t* fileName);
    ~CSystemLibrary();
    CSystemLibrary(const CSystemLibrary&) = delete;
    CSystemLibrary& operator=(const CSystemLibrary&) = delete;

    bool Loaded() const { return m_module != nullptr; }
    DWORD LoadError() const { return m_loadError; }

    // The function of that name as the type of its declaration (decltype(&Name)), or null.
    template <typename Function> Function Find(const char* name) const
    {
        return m_module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)))
                        : nullptr;
    }

private:
    HMODULE m_module = nullptr;
    DWORD m_loadError = 0;
};
