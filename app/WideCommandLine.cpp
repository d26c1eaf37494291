#include "app/WideCommandLine.h"

#include "base/WideText.h"

namespace {

bool IsBlank(wchar_t character)
{
    return character == L' ' || character == L'\t';
}

} // namespace

std::string ArgumentsAfterProgram(const wchar_t* commandLine)
{
    if (!commandLine)
        return std::string();
    const wchar_t* at = commandLine;
    if (*at == L'"') {
        ++at;
        while (*at && *at != L'"')
            ++at;
        if (*at == L'"')
            ++at;
    } else {
        while (*at && !IsBlank(*at))
            ++at;
    }
    while (IsBlank(*at))
        ++at;
    return NarrowToUtf8(at);
}
