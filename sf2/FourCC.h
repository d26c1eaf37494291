#pragma once
// Four-character codes of the RIFF structure of a SoundFont 2 file.

#include <array>
#include <cstdint>
#include <string>

class FourCC {
public:
    constexpr FourCC() = default;
    constexpr explicit FourCC(const char (&code)[5]) : m_bytes{code[0], code[1], code[2], code[3]} {}

    static FourCC FromBytes(const std::uint8_t (&bytes)[4]);

    // The code as text, cut at its first zero byte.
    std::string Text() const;
    // All four bytes are printable ASCII characters (space to '~'), as in every chunk
    // identifier of a RIFF file.
    bool IsPrintable() const;

    friend bool operator==(const FourCC& a, const FourCC& b) { return a.m_bytes == b.m_bytes; }
    friend bool operator!=(const FourCC& a, const FourCC& b) { return !(a == b); }

private:
    std::array<char, 4> m_bytes{};
};

constexpr FourCC kListId("LIST");
constexpr FourCC kPresetDataListType("pdta");
constexpr FourCC kPresetHeadersId("phdr");
