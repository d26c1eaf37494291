#include "base/WideText.h"

#include <windows.h>

namespace {

std::wstring Widen(UINT codePage, const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(UINT codePage, const wchar_t* text, std::size_t size)
{
    if (size == 0)
        return std::string();
    int length = WideCharToMultiByte(codePage, 0, text, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text, static_cast<int>(size), &narrow[0], length, nullptr, nullptr);
    return narrow;
}

} // namespace

std::wstring WidenUtf8(const std::string& text)
{
    return Widen(CP_UTF8, text);
}

std::string NarrowToUtf8(const std::wstring& text)
{
    return Narrow(CP_UTF8, text.data(), text.size());
}

std::string NarrowToUtf8(const wchar_t* text)
{
    return text ? Narrow(CP_UTF8, text, wcslen(text)) : std::string();
}

std::string AnsiToUtf8(const std::string& text)
{
    return NarrowToUtf8(Widen(CP_ACP, text));
}

std::wstring WidenAnsi(const std::string& text)
{
    return Widen(CP_ACP, text);
}

std::optional<std::string> ExactAnsi(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    // A UTF-8 code page takes neither flag; the round trip below still checks it.
    const bool utf8CodePage = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    const int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(CP_ACP, utf8CodePage ? 0 : WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr,
                                     0, nullptr, utf8CodePage ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, utf8CodePage ? 0 : WC_NO_BEST_FIT_CHARS, text.data(), size, &narrow[0], length,
                        nullptr, utf8CodePage ? nullptr : &usedDefault);
    // The file system compares names as they are: only a text that reads back the same names
    // the same file.
    if (usedDefault || Widen(CP_ACP, narrow) != text)
        return std::nullopt;
    return narrow;
}
