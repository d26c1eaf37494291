#include "song/MidiTrackReader.h"

#include "song/BigEndianCursor.h"

namespace {

constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kSysExEscape = 0xF7;
constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;

// Program change and channel pressure carry one data byte; the other channel messages two.
int DataBytesOf(std::uint8_t status)
{
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

class TrackParser {
public:
    TrackParser(const std::uint8_t* data, std::size_t size, std::size_t maxEvents, std::vector<TrackEvent>& events)
        : m_cursor(data, size), m_maxEvents(maxEvents), m_events(events)
    {
    }

    TrackRead Run()
    {
        while (!m_ended && m_cursor.Remaining() > 0) {
            const std::size_t start = m_cursor.Offset();
            std::string problem = ReadEvent();
            if (!problem.empty())
                return {problem + " at byte " + std::to_string(start) + " of the track", m_tick};
        }
        return {"", m_tick};
    }

private:
    std::string ReadEvent()
    {
        std::uint32_t delta = 0;
        if (!m_cursor.ReadVariableLength(delta))
            return "a delta time cut short or longer than four bytes";
        m_tick += delta;
        std::uint8_t first = 0;
        if (!m_cursor.ReadU8(first))
            return "the track ends after a delta time";
        if (first == kMeta)
            return ReadMeta();
        if (first == kSysEx || first == kSysExEscape)
            return SkipSysEx();
        if (first >= 0xF0)
            return "a system message (status " + std::to_string(first) + ") that has no place in a file";
        if (first & 0x80) {
            m_runningStatus = first;
            return ReadChannelData(first, false, 0);
        }
        if (m_runningStatus == 0)
            return "a data byte with no status before it";
        return ReadChannelData(m_runningStatus, true, first);
    }

    // With running status the first data byte has been read already.
    std::string ReadChannelData(std::uint8_t status, bool haveFirst, std::uint8_t firstData)
    {
        std::uint8_t data[2] = {firstData, 0};
        const int count = DataBytesOf(status);
        for (int i = haveFirst ? 1 : 0; i < count; ++i) {
            if (!m_cursor.ReadU8(data[i]))
                return "a channel message cut short";
        }
        for (int i = 0; i < count; ++i) {
            if (data[i] & 0x80)
                return "a data byte above 127 in a channel message";
        }
        return Add(TrackEvent::Kind::Channel, static_cast<std::uint32_t>(status | data[0] << 8 | data[1] << 16));
    }

    std::string ReadMeta()
    {
        std::uint8_t type = 0;
        std::uint32_t length = 0;
        if (!m_cursor.ReadU8(type) || !m_cursor.ReadVariableLength(length))
            return "a meta event cut short";
        const std::uint8_t* body = m_cursor.Take(length);
        if (!body)
            return "a meta event running past the end of the track";
        if (type == kMetaEndOfTrack) {
            m_ended = true;
            return "";
        }
        if (type == kMetaTempo && length >= 3) {
            const std::uint32_t microsecondsPerQuarter =
                static_cast<std::uint32_t>(body[0]) << 16 | static_cast<std::uint32_t>(body[1]) << 8 | body[2];
            if (microsecondsPerQuarter > 0) // a tempo of zero would stop time: ignored
                return Add(TrackEvent::Kind::Tempo, microsecondsPerQuarter);
        }
        return "";
    }

    // Running status is kept across system exclusive and meta events: files written that way
    // exist, and a well-formed file never depends on it being cancelled.
    std::string SkipSysEx()
    {
        std::uint32_t length = 0;
        if (!m_cursor.ReadVariableLength(length))
            return "a system exclusive length cut short";
        if (!m_cursor.Skip(length))
            return "a system exclusive message running past the end of the track";
        return "";
    }

    std::string Add(TrackEvent::Kind kind, std::uint32_t value)
    {
        if (m_events.size() >= m_maxEvents)
            return "more than " + std::to_string(m_maxEvents) + " events in the file";
        m_events.push_back({m_tick, kind, value});
        return "";
    }

    BigEndianCursor m_cursor;
    std::size_t m_maxEvents;
    std::vector<TrackEvent>& m_events;
    std::uint64_t m_tick = 0;
    std::uint8_t m_runningStatus = 0;
    bool m_ended = false;
};

} // namespace

TrackRead ReadTrackEvents(const std::uint8_t* data, std::size_t size, std::size_t maxEvents,
                          std::vector<TrackEvent>& events)
{
    return TrackParser(data, size, maxEvents, events).Run();
}
