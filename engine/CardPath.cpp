#include "engine/CardPath.h"

#include "base/WideText.h"

#include <windows.h>

namespace {

// The form of `path` that GetShortPathNameW or GetLongPathNameW gives; empty when it fails.
template <typename Function>
std::wstring OtherForm(Function function, const std::wstring& path)
{
    DWORD size = function(path.c_str(), nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring other(size, L'\0');
    DWORD length = function(path.c_str(), &other[0], size);
    if (length == 0 || length >= size)
        return std::wstring();
    other.resize(length);
    return other;
}

} // namespace

std::optional<std::string> CardPathOf(const std::string& path)
{
    const std::wstring wide = WidenUtf8(path);
    if (std::optional<std::string> exact = ExactAnsi(wide))
        return exact;
    const std::wstring shortPath = OtherForm(GetShortPathNameW, wide);
    if (shortPath.empty())
        return std::nullopt;
    return ExactAnsi(shortPath);
}

std::string PathFromCard(const std::string& cardPath)
{
    const std::wstring wide = WidenUtf8(AnsiToUtf8(cardPath));
    // Only a path with a short name in it is looked up: any other comes back as it went.
    if (wide.find(L'~') == std::wstring::npos)
        return NarrowToUtf8(wide);
    const std::wstring longPath = OtherForm(GetLongPathNameW, wide);
    return NarrowToUtf8(longPath.empty() ? wide : longPath);
}
