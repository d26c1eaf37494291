#include "sf2/Utf8.h"

#include <cstdint>

namespace {

// The length of the sequence `lead` starts and the bits it carries; 0 for a byte that can't
// start one.
int SequenceLength(std::uint8_t lead, std::uint32_t& bits)
{
    if (lead < 0x80) {
        bits = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        bits = lead & 0x1Fu;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0Fu;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        bits = lead & 0x07u;
        return 4;
    }
    return 0;
}

bool IsShortestForm(std::uint32_t codePoint, int length)
{
    static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return codePoint >= kSmallest[length];
}

void Append(std::uint32_t codePoint, std::u16string& wide)
{
    if (codePoint < 0x10000) {
        wide.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    wide.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    wide.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FFu)));
}

} // namespace

bool Utf8ToUtf16(const std::string& text, std::u16string& wide)
{
    wide.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        std::uint32_t codePoint = 0;
        const int length = SequenceLength(static_cast<std::uint8_t>(text[at]), codePoint);
        if (length == 0 || text.size() - at < static_cast<std::size_t>(length)) {
            wide.clear();
            return false;
        }
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<std::uint8_t>(text[at + static_cast<std::size_t>(i)]);
            if ((next & 0xC0u) != 0x80u) {
                wide.clear();
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        if (!IsShortestForm(codePoint, length) || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            wide.clear();
            return false;
        }
        Append(codePoint, wide);
        at += static_cast<std::size_t>(length);
    }
    return true;
}
