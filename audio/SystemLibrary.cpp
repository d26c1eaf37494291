#include "audio/SystemLibrary.h"

#include <string>

SystemLibrary::SystemLibrary(const wchar_t* fileName) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    loadError_ = GetLastError();
    return;
  }
  std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
  module_ = LoadLibraryW(path.c_str());
  if (!module_) loadError_ = GetLastError();
}

SystemLibrary::~SystemLibrary() {
  if (module_) FreeLibrary(module_);
}
