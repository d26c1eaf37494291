#include "dialogs/IntegerField.h"

#include <cstddef>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool ParseIntegerField(const std::string& text, std::int32_t& value)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    if (at == text.size() || !IsDigit(text[at]))
        return false;

    // Accumulated as a magnitude with room for one more digit, so nothing wraps.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > limit)
            return false;
    }
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    if (at != text.size())
        return false;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}
