#pragma once
// Small Standard MIDI Files built in memory for the tests and the benchmarks: tracks of events
// at absolute ticks (the deltas are worked out), or raw bytes for files that break the rules.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <deque>
#include <vector>

using SmfBytes = std::vector<std::uint8_t>;

class SmfTrack {
public:
    // An event at `tick` (no earlier than the previous one): the delta time, then the bytes.
    SmfTrack& At(std::uint64_t tick, std::initializer_list<std::uint8_t> bytes);
    SmfTrack& At(std::uint64_t tick, const SmfBytes& bytes);
    SmfTrack& Message(std::uint64_t tick, std::uint32_t packed); // status | d1 << 8 | d2 << 16
    SmfTrack& Tempo(std::uint64_t tick, std::uint32_t microsecondsPerQuarter);
    SmfTrack& EndOfTrack(std::uint64_t tick);
    // Bytes as they are, with no delta time before them.
    SmfTrack& Raw(const SmfBytes& bytes);

    const SmfBytes& Bytes() const { return m_bytes; }

private:
    SmfBytes m_bytes;
    std::uint64_t m_lastTick = 0;
};

class SmfWriter {
public:
    // `division`: ticks per quarter note, or an SMPTE division with its high bit set.
    explicit SmfWriter(std::uint16_t division = 480, std::uint16_t format = 1) : m_division(division), m_format(format) {}

    SmfTrack& AddTrack();
    // The header (with the number of tracks added) and the tracks.
    SmfBytes File() const;

private:
    std::uint16_t m_division;
    std::uint16_t m_format;
    std::deque<SmfTrack> m_tracks; // a deque: the tracks handed out stay where they are
};

SmfBytes VariableLength(std::uint32_t value);
SmfBytes BigEndian32(std::uint32_t value);
// A chunk: its four-letter type, its length and its bytes.
SmfBytes SmfChunk(const std::string& type, const SmfBytes& body);
// The header chunk with any fields.
SmfBytes SmfHeader(std::uint16_t format, std::uint16_t tracks, std::uint16_t division);
bool WriteBytesToFile(const std::string& path, const SmfBytes& bytes);
