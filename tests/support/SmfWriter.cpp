#include "tests/support/SmfWriter.h"

#include <cstdio>
#include <stdexcept>

SmfBytes VariableLength(std::uint32_t value)
{
    SmfBytes bytes{static_cast<std::uint8_t>(value & 0x7F)};
    while (value >>= 7)
        bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    return bytes;
}

SmfBytes BigEndian32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

SmfBytes SmfChunk(const std::string& type, const SmfBytes& body)
{
    SmfBytes bytes(type.begin(), type.end());
    const SmfBytes length = BigEndian32(static_cast<std::uint32_t>(body.size()));
    bytes.insert(bytes.end(), length.begin(), length.end());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

SmfBytes SmfHeader(std::uint16_t format, std::uint16_t tracks, std::uint16_t division)
{
    return SmfChunk("MThd", {static_cast<std::uint8_t>(format >> 8), static_cast<std::uint8_t>(format),
                             static_cast<std::uint8_t>(tracks >> 8), static_cast<std::uint8_t>(tracks),
                             static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division)});
}

SmfTrack& SmfTrack::At(std::uint64_t tick, const SmfBytes& bytes)
{
    if (tick < m_lastTick)
        throw std::logic_error("SmfTrack: events must come in time order");
    const SmfBytes delta = VariableLength(static_cast<std::uint32_t>(tick - m_lastTick));
    m_lastTick = tick;
    m_bytes.insert(m_bytes.end(), delta.begin(), delta.end());
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

SmfTrack& SmfTrack::At(std::uint64_t tick, std::initializer_list<std::uint8_t> bytes)
{
    return At(tick, SmfBytes(bytes));
}

SmfTrack& SmfTrack::Message(std::uint64_t tick, std::uint32_t packed)
{
    const std::uint8_t status = packed & 0xFF;
    const std::uint8_t kind = status & 0xF0;
    const std::uint8_t d1 = (packed >> 8) & 0x7F;
    const std::uint8_t d2 = (packed >> 16) & 0x7F;
    if (kind == 0xC0 || kind == 0xD0)
        return At(tick, {status, d1});
    return At(tick, {status, d1, d2});
}

SmfTrack& SmfTrack::Tempo(std::uint64_t tick, std::uint32_t microsecondsPerQuarter)
{
    return At(tick, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsecondsPerQuarter >> 16),
                     static_cast<std::uint8_t>(microsecondsPerQuarter >> 8),
                     static_cast<std::uint8_t>(microsecondsPerQuarter)});
}

SmfTrack& SmfTrack::EndOfTrack(std::uint64_t tick)
{
    return At(tick, {0xFF, 0x2F, 0x00});
}

SmfTrack& SmfTrack::Raw(const SmfBytes& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

SmfTrack& SmfWriter::AddTrack()
{
    m_tracks.emplace_back();
    return m_tracks.back();
}

SmfBytes SmfWriter::File() const
{
    SmfBytes file = SmfHeader(m_format, static_cast<std::uint16_t>(m_tracks.size()), m_division);
    for (const SmfTrack& track : m_tracks) {
        const SmfBytes chunk = SmfChunk("MTrk", track.Bytes());
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

bool WriteBytesToFile(const std::string& path, const SmfBytes& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
