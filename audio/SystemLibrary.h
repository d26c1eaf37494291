#pragma once
// A library of Windows loaded from the system folder by full path (never from the program's
// or the current folder), with its functions found by name: the audio APIs that Windows XP
// lacks or that not every system has are bound this way, never imported.
#include <windows.h>

class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* fileName);
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  DWORD LoadError() const { return loadError_; }

  // The function of that name as the type of its declaration (decltype(&Name)), or null.
  template <typename Function>
  Function Find(const char* name) const {
    return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
  }

 private:
  HMODULE module_ = nullptr;
  DWORD loadError_ = 0;
};
