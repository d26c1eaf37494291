#include "settings/UnicodeProfileFile.h"

#include "base/WideText.h"

#include <windows.h>

#include <vector>

namespace {

constexpr unsigned char kLittleEndianMark[] = {0xFF, 0xFE};
constexpr unsigned char kBigEndianMark[] = {0xFE, 0xFF};
constexpr unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

// Settings files are small; a larger one is not rewritten in memory.
constexpr DWORD kLargestFile = 16u * 1024u * 1024u;

bool StartsWith(const std::vector<char>& bytes, const unsigned char (&mark)[2])
{
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == mark[0] &&
           static_cast<unsigned char>(bytes[1]) == mark[1];
}

// The whole file; false when it can't be read. A missing file reads as empty, `exists` false.
bool ReadWholeFile(const std::wstring& path, std::vector<char>& bytes, bool& exists)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    exists = file != INVALID_HANDLE_VALUE;
    if (!exists)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    DWORD size = GetFileSize(file, nullptr);
    bool read = size != INVALID_FILE_SIZE && size <= kLargestFile;
    if (read) {
        bytes.resize(size);
        DWORD delivered = 0;
        read = size == 0 || (ReadFile(file, bytes.data(), size, &delivered, nullptr) && delivered == size);
    }
    CloseHandle(file);
    return read;
}

bool WriteWholeFile(const std::wstring& path, const std::wstring& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const DWORD textBytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    bool done = WriteFile(file, kLittleEndianMark, sizeof kLittleEndianMark, &written, nullptr) &&
                written == sizeof kLittleEndianMark &&
                (textBytes == 0 || (WriteFile(file, text.data(), textBytes, &written, nullptr) && written == textBytes));
    done = CloseHandle(file) && done;
    return done;
}

bool HasUtf8Mark(const std::vector<char>& bytes)
{
    return bytes.size() >= sizeof kUtf8Mark && static_cast<unsigned char>(bytes[0]) == kUtf8Mark[0] &&
           static_cast<unsigned char>(bytes[1]) == kUtf8Mark[1] && static_cast<unsigned char>(bytes[2]) == kUtf8Mark[2];
}

// The file's text: after a UTF-8 mark (which some platforms honour) UTF-8, else the ANSI code page.
std::wstring TextOf(const std::vector<char>& bytes)
{
    if (HasUtf8Mark(bytes))
        return WidenUtf8(std::string(bytes.begin() + sizeof kUtf8Mark, bytes.end()));
    return WidenAnsi(std::string(bytes.begin(), bytes.end()));
}

} // namespace

bool MakeUnicodeProfileFile(const std::wstring& path)
{
    std::vector<char> bytes;
    bool exists = false;
    if (!ReadWholeFile(path, bytes, exists))
        return false;
    if (StartsWith(bytes, kLittleEndianMark))
        return true;
    if (StartsWith(bytes, kBigEndianMark))
        return false;
    if (!exists)
        return WriteWholeFile(path, std::wstring());
    // Written beside the file and moved over it, so that a failed write leaves the old file.
    const std::wstring rewritten = path + L".new";
    if (!WriteWholeFile(rewritten, TextOf(bytes))) {
        DeleteFileW(rewritten.c_str());
        return false;
    }
    if (!MoveFileExW(rewritten.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(rewritten.c_str());
        return false;
    }
    return true;
}
