#include "softcard/SoftStateFile.h"

#include "softcard/SoftStateText.h"

#include <windows.h>

#include <shlobj.h>

namespace {

constexpr DWORD kMaxStateBytes = 64u << 20;

class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CFileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

std::wstring ApplicationDataFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return L"";
    return folder;
}

bool WriteWhole(const std::wstring& path, const std::string& text)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file.Get());
}

} // namespace

std::wstring SoftStateFilePath()
{
    wchar_t named[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"TONEWELL_SOFTCARD_STATE", named, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return named;
    std::wstring folder = ApplicationDataFolder();
    if (folder.empty())
        return L"";
    folder += L"\\Tonewell";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\softcard.state";
}

bool LoadSoftState(const std::wstring& path, CardContents& contents, SoftCardSettings& settings)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart > kMaxStateBytes)
        return false;
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() && (!ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) ||
                          read != text.size()))
        return false;
    return ReadSoftState(text, contents, settings);
}

bool SaveSoftState(const std::wstring& path, const CardContents& contents, const SoftCardSettings& settings)
{
    if (path.empty())
        return false;
    const std::wstring fresh = path + L".new";
    return WriteWhole(fresh, WriteSoftState(contents, settings)) &&
           MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
