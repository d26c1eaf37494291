#include "shell/StrRet.h"

#include "shell/IdList.h"

#include <cstring>

namespace {

std::string FromUtf16(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &converted[0], size, nullptr, nullptr);
    converted.resize(static_cast<std::size_t>(size) - 1);
    return converted;
}

// The zero-terminated string at `offset` inside the list, cut at the list's end.
std::string FromOffset(LPCITEMIDLIST item, UINT offset)
{
    auto* bytes = reinterpret_cast<const std::uint8_t*>(item);
    std::size_t size = MeasureIdList(bytes).size;
    if (offset >= size)
        return std::string();
    auto* text = reinterpret_cast<const char*>(bytes + offset);
    return std::string(text, strnlen(text, size - offset));
}

} // namespace

std::string StrRetToText(STRRET& answer, LPCITEMIDLIST item, const CShellMalloc& malloc)
{
    switch (answer.uType) {
    case STRRET_WSTR: {
        std::string text = answer.pOleStr ? FromUtf16(answer.pOleStr) : std::string();
        malloc.Free(answer.pOleStr);
        answer.pOleStr = nullptr;
        return text;
    }
    case STRRET_OFFSET:
        return FromOffset(item, answer.uOffset);
    case STRRET_CSTR:
        return std::string(answer.cStr, strnlen(answer.cStr, sizeof answer.cStr));
    default:
        return std::string();
    }
}
