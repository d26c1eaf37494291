#include "shell/StrRet.h"

#include "shell/IdList.h"
#include "base/WideText.h"

#include <cstring>

namespace {

// The zero-terminated string at `offset` inside the list, cut at the list's end.
std::string FromOffset(LPCITEMIDLIST item, UINT offset)
{
    auto* bytes = reinterpret_cast<const std::uint8_t*>(item);
    std::size_t size = MeasureIdList(bytes).size;
    if (offset >= size)
        return std::string();
    auto* text = reinterpret_cast<const char*>(bytes + offset);
    return AnsiToUtf8(std::string(text, strnlen(text, size - offset)));
}

} // namespace

std::string StrRetToText(STRRET& answer, LPCITEMIDLIST item, const CShellMalloc& malloc)
{
    switch (answer.uType) {
    case STRRET_WSTR: {
        std::string text = NarrowToUtf8(answer.pOleStr);
        malloc.Free(answer.pOleStr);
        answer.pOleStr = nullptr;
        return text;
    }
    case STRRET_OFFSET:
        return FromOffset(item, answer.uOffset);
    case STRRET_CSTR:
        return AnsiToUtf8(std::string(answer.cStr, strnlen(answer.cStr, sizeof answer.cStr)));
    default:
        return std::string();
    }
}
