#include "tests/support/HiddenExtensions.h"

namespace {

const char kAdvancedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
const char kHideFileExt[] = "HideFileExt";

} // namespace

HiddenExtensions::HiddenExtensions(bool hidden)
{
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kAdvancedKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &m_key, nullptr) != ERROR_SUCCESS) {
        m_key = nullptr;
        return;
    }
    DWORD previous = 0;
    DWORD type = 0;
    DWORD size = sizeof previous;
    if (RegQueryValueExA(m_key, kHideFileExt, nullptr, &type, reinterpret_cast<BYTE*>(&previous), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD)
        m_previous = previous;
    DWORD value = hidden ? 1 : 0;
    m_applied = RegSetValueExA(m_key, kHideFileExt, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                               sizeof value) == ERROR_SUCCESS;
}

HiddenExtensions::~HiddenExtensions()
{
    if (!m_key)
        return;
    if (m_previous) {
        DWORD value = *m_previous;
        RegSetValueExA(m_key, kHideFileExt, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    } else {
        RegDeleteValueA(m_key, kHideFileExt);
    }
    RegCloseKey(m_key);
}
