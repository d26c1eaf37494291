#include "settings/Profile.h"

#include "settings/UnicodeProfileFile.h"
#include "base/WideText.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <utility>

namespace {

// Asked for as every read's default: an answer equal to it means the key is absent.
const char kAbsent[] = "xyxthhq91827564";

// Most values fit the first buffer; only a longer one is read again into a buffer that holds
// the longest value the writes accept.
constexpr DWORD kShortReadSize = 2048;

// The longest file name the platform takes, terminator included.
constexpr DWORD kLongestPath = 32768;

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

// The platform looks for a name without any directory part in the Windows directory, not in
// the current one as every other relative path.
std::string FromCurrentDirectory(const std::string& fileName)
{
    bool bare = fileName.find_first_of("\\/:") == std::string::npos;
    return bare ? ".\\" + fileName : fileName;
}

std::string ElementKey(const std::string& baseKey, std::size_t index)
{
    return baseKey + "_" + std::to_string(index);
}

// The leading decimal number, as the C library reads it, held to 32 bits instead of
// overflowing.
int LeadingInteger(const std::string& text)
{
    long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(number);
}

} // namespace

CProfile::CProfile(const std::string& fileName, bool nextToProgram)
    : m_path(nextToProgram ? ProgramDirectory() + fileName : FromCurrentDirectory(fileName))
{
}

std::string CProfile::ProgramDirectory()
{
    std::string name(kLongestPath, '\0');
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), &name[0], kLongestPath);
    if (length == 0 || length >= kLongestPath)
        return std::string();
    name.resize(length);
    std::size_t separator = name.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : name.substr(0, separator + 1);
}

bool CProfile::ReadString(const std::string& section, const std::string& key, std::string& value) const
{
    char shortValue[kShortReadSize];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, shortValue,
                                            kShortReadSize, m_path.c_str());
    std::string text(shortValue, length);
    if (length == kShortReadSize - 1) {
        text.assign(kMaxValueLength + 1, '\0');
        length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, &text[0],
                                          kMaxValueLength + 1, m_path.c_str());
        text.resize(length);
    }
    if (text == kAbsent)
        return false;
    value = std::move(text);
    return true;
}

bool CProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) const
{
    if (value.size() > kMaxValueLength || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), m_path.c_str());
    return true;
}

bool CProfile::ReadText(const std::string& section, const std::string& key, std::string& value) const
{
    const std::wstring wideSection = WidenUtf8(section), wideKey = WidenUtf8(key), path = WidenUtf8(AnsiToUtf8(m_path));
    const std::wstring absent = WidenUtf8(kAbsent);
    std::wstring text(kShortReadSize, L'\0');
    DWORD length = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), absent.c_str(), &text[0],
                                            kShortReadSize, path.c_str());
    if (length == kShortReadSize - 1) {
        text.assign(kMaxValueLength + 1, L'\0');
        length = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), absent.c_str(), &text[0],
                                          kMaxValueLength + 1, path.c_str());
    }
    text.resize(length);
    if (text == absent)
        return false;
    value = NarrowToUtf8(text);
    return true;
}

bool CProfile::WriteText(const std::string& section, const std::string& key, const std::string& value) const
{
    if (value.size() > kMaxValueLength || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    const std::wstring wideValue = WidenUtf8(value), path = WidenUtf8(AnsiToUtf8(m_path));
    if (!ExactAnsi(wideValue) && !MakeUnicodeProfileFile(path))
        return true; // as a failed write: the value would be stored with its letters lost
    WritePrivateProfileStringW(WidenUtf8(section).c_str(), WidenUtf8(key).c_str(), wideValue.c_str(), path.c_str());
    return true;
}

bool CProfile::ReadTextArray(const std::string& section, const std::string& baseKey,
                             std::vector<std::string>& values) const
{
    return ReadArray(section, baseKey, values, &CProfile::ReadText);
}

bool CProfile::WriteTextArray(const std::string& section, const std::string& baseKey,
                              const std::vector<std::string>& values) const
{
    return WriteArray(section, baseKey, values, &CProfile::WriteText);
}

bool CProfile::DeleteKey(const std::string& section, const std::string& key) const
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, m_path.c_str()) != FALSE;
}

bool CProfile::ReadInt(const std::string& section, const std::string& key, int& value) const
{
    std::string text;
    if (!ReadString(section, key, text))
        return false;
    value = LeadingInteger(text);
    return true;
}

bool CProfile::WriteInt(const std::string& section, const std::string& key, int value) const
{
    return WriteString(section, key, std::to_string(value));
}

bool CProfile::ReadBool(const std::string& section, const std::string& key, bool& value) const
{
    std::string text;
    if (!ReadString(section, key, text))
        return false;
    value = text != "False";
    return true;
}

bool CProfile::WriteBool(const std::string& section, const std::string& key, bool value) const
{
    return WriteString(section, key, value ? "True" : "False");
}

bool CProfile::KeyExists(const std::string& section, const std::string& key) const
{
    std::string ignored;
    return ReadString(section, key, ignored);
}

template <typename List, typename T>
bool CProfile::ReadArray(const std::string& section, const std::string& baseKey, List& values,
                         Reader<T> read) const
{
    T element{};
    if (!(this->*read)(section, ElementKey(baseKey, 0), element))
        return false;
    values.clear();
    for (std::size_t index = 1;; ++index) {
        values.push_back(element);
        if (!(this->*read)(section, ElementKey(baseKey, index), element))
            return true;
    }
}

// A failed deletion does not stop the walk: the run ends only at the first absent key.
void CProfile::RemoveArray(const std::string& section, const std::string& baseKey) const
{
    for (std::size_t index = 0; KeyExists(section, ElementKey(baseKey, index)); ++index)
        DeleteKey(section, ElementKey(baseKey, index));
}

template <typename List, typename T>
bool CProfile::WriteArray(const std::string& section, const std::string& baseKey, const List& values,
                          Writer<T> write) const
{
    RemoveArray(section, baseKey);
    for (std::size_t index = 0; index < values.size(); ++index) {
        if (!(this->*write)(section, ElementKey(baseKey, index), values[index]))
            return false;
    }
    return true;
}

bool CProfile::ReadStringArray(const std::string& section, const std::string& baseKey,
                               std::vector<std::string>& values) const
{
    return ReadArray(section, baseKey, values, &CProfile::ReadString);
}

bool CProfile::ReadIntArray(const std::string& section, const std::string& baseKey, std::vector<int>& values) const
{
    return ReadArray(section, baseKey, values, &CProfile::ReadInt);
}

bool CProfile::ReadBoolArray(const std::string& section, const std::string& baseKey, std::vector<bool>& values) const
{
    return ReadArray(section, baseKey, values, &CProfile::ReadBool);
}

bool CProfile::WriteStringArray(const std::string& section, const std::string& baseKey,
                                const std::vector<std::string>& values) const
{
    return WriteArray(section, baseKey, values, &CProfile::WriteString);
}

bool CProfile::WriteIntArray(const std::string& section, const std::string& baseKey,
                             const std::vector<int>& values) const
{
    return WriteArray(section, baseKey, values, &CProfile::WriteInt);
}

bool CProfile::WriteBoolArray(const std::string& section, const std::string& baseKey,
                              const std::vector<bool>& values) const
{
    return WriteArray(section, baseKey, values, &CProfile::WriteBool);
}
