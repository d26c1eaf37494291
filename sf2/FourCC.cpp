#include "sf2/FourCC.h"

FourCC FourCC::FromBytes(const std::uint8_t (&bytes)[4])
{
    FourCC code;
    for (std::size_t i = 0; i < code.m_bytes.size(); ++i)
        code.m_bytes[i] = static_cast<char>(bytes[i]);
    return code;
}

std::string FourCC::Text() const
{
    std::size_t length = 0;
    while (length < m_bytes.size() && m_bytes[length] != '\0')
        ++length;
    return std::string(m_bytes.data(), length);
}

bool FourCC::IsPrintable() const
{
    for (char byte : m_bytes) {
        if (byte < ' ' || byte > '~')
            return false;
    }
    return true;
}
