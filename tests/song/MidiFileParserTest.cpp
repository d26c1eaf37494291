#include "song/MidiFileParser.h"
#include "song/MidiFileReader.h"

#include "tests/support/SmfWriter.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr std::uint32_t NoteOn(int channel, int key, int velocity)
{
    return static_cast<std::uint32_t>(0x90 | channel) | key << 8 | velocity << 16;
}

constexpr std::uint32_t NoteOff(int channel, int key)
{
    return static_cast<std::uint32_t>(0x80 | channel) | key << 8 | 64 << 16;
}

// "seconds message" for each event, to the microsecond, so that a failure shows the whole song.
std::vector<std::string> Describe(const Song& song)
{
    std::vector<std::string> lines;
    for (const SongEvent& event : song.events) {
        char line[48];
        std::snprintf(line, sizeof line, "%.6f %06X", event.seconds, event.message);
        lines.push_back(line);
    }
    return lines;
}

struct Case {
    const char* name;
    SmfBytes file;
    std::vector<std::string> events;
    double lengthSeconds;
};

// 480 ticks a quarter note at the default 120 beats a minute: 960 ticks a second.
SmfBytes Format0(const SmfTrack& track)
{
    SmfBytes file = SmfHeader(0, 1, 480);
    const SmfBytes chunk = SmfChunk("MTrk", track.Bytes());
    file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

SmfBytes TwoTracksWithTempoInFirst()
{
    SmfWriter writer;
    writer.AddTrack().Tempo(0, 1000000).Tempo(960, 250000).EndOfTrack(960);
    writer.AddTrack()
        .Message(480, NoteOn(0, 60, 100))   // 0.5 quarter at 1 s a quarter: 1 s
        .Message(1440, NoteOff(0, 60))      // 2 s, then 480 ticks at 0.25 s a quarter: 2.25 s
        .EndOfTrack(1920);
    return writer.File();
}

SmfBytes SameTickAcrossTracks()
{
    SmfWriter writer;
    writer.AddTrack().Message(96, NoteOn(0, 60, 1)).Message(96, NoteOn(0, 61, 2)).EndOfTrack(96);
    writer.AddTrack().Message(0, NoteOn(1, 50, 3)).Message(96, NoteOn(1, 51, 4)).EndOfTrack(96);
    writer.AddTrack().Message(96, NoteOn(2, 40, 5)).EndOfTrack(96);
    return writer.File();
}

SmfBytes Smpte(int framesPerSecond, int ticksPerFrame)
{
    SmfWriter writer(static_cast<std::uint16_t>((256 - framesPerSecond) << 8 | ticksPerFrame), 0);
    writer.AddTrack().Tempo(0, 100000).Message(100, NoteOn(0, 60, 100)).EndOfTrack(200);
    return writer.File();
}

std::vector<Case> ReadCases()
{
    SmfTrack runningStatus;
    runningStatus.At(0, {0x90, 60, 100}).At(96, {62, 100}).At(192, {60, 0}).At(384, {0xC5, 7}).At(384, {8})
        .At(576, {0xFF, 0x2F, 0});
    SmfTrack statusKeptAcrossMeta;
    statusKeptAcrossMeta.At(0, {0x91, 60, 100}).At(0, {0xFF, 0x01, 2, 'h', 'i'}).At(0, {0xF0, 2, 0x7E, 0xF7})
        .At(0, {61, 90}).At(0, {0xF7, 1, 0xF8}).At(0, {62, 80});
    SmfTrack noEndOfTrack;
    noEndOfTrack.Message(960, NoteOn(0, 60, 100)).Message(1920, NoteOff(0, 60));
    SmfTrack bytesAfterEnd;
    bytesAfterEnd.Message(0, NoteOn(0, 60, 100)).EndOfTrack(480).Raw({0x00, 0x90, 0x40, 0x40, 0xFF});
    SmfTrack oddTempos;
    oddTempos.At(0, {0xFF, 0x51, 0x03, 0, 0, 0}).At(0, {0xFF, 0x51, 0x02, 0x01, 0x00})
        .At(0, {0xFF, 0x51, 0x04, 0x0F, 0x42, 0x40, 0x99}).Message(960, NoteOn(0, 1, 1)).EndOfTrack(960);
    SmfTrack longestDelta;
    longestDelta.At(0x0FFFFFFF, {0x90, 1, 1});
    SmfBytes headerOfEight = SmfChunk("MThd", {0, 0, 0, 1, 0x01, 0xE0, 0xAA, 0xBB});
    const SmfBytes longHeaderTrack = SmfChunk("MTrk", noEndOfTrack.Bytes());
    headerOfEight.insert(headerOfEight.end(), longHeaderTrack.begin(), longHeaderTrack.end());
    SmfBytes alienChunk = SmfHeader(1, 1, 480);
    for (const SmfBytes& chunk : {SmfChunk("XFIH", {1, 2, 3}), SmfChunk("MTrk", noEndOfTrack.Bytes())})
        alienChunk.insert(alienChunk.end(), chunk.begin(), chunk.end());
    return {
        {"running status, note-on of velocity 0 kept, one-byte messages", Format0(runningStatus),
         {"0.000000 643C90", "0.100000 643E90", "0.200000 003C90", "0.400000 0007C5", "0.400000 0008C5"}, 0.6},
        {"running status kept across meta and system exclusive events", Format0(statusKeptAcrossMeta),
         {"0.000000 643C91", "0.000000 5A3D91", "0.000000 503E91"}, 0},
        {"tempo changes of the first track time the second",
         TwoTracksWithTempoInFirst(), {"1.000000 643C90", "2.250000 403C80"}, 2.5},
        {"same tick: in the order of the tracks, then of each track", SameTickAcrossTracks(),
         {"0.000000 033291", "0.100000 013C90", "0.100000 023D90", "0.100000 043391", "0.100000 052892"}, 0.1},
        {"a track without an end of track ends at its last event", Format0(noEndOfTrack),
         {"1.000000 643C90", "2.000000 403C80"}, 2},
        {"bytes after the end of track are not read", Format0(bytesAfterEnd), {"0.000000 643C90"}, 0.5},
        {"tempo of zero or shorter than 3 bytes ignored, longer read", Format0(oddTempos), {"2.000000 010190"}, 2},
        {"largest delta time", Format0(longestDelta), {"279620.265625 010190"}, 279620.265625},
        {"a header longer than 6 bytes", headerOfEight, {"1.000000 643C90", "2.000000 403C80"}, 2},
        {"a chunk of unknown type among the tracks is passed over", alienChunk,
         {"1.000000 643C90", "2.000000 403C80"}, 2},
        {"SMPTE 25 frames of 40 ticks: 1000 ticks a second, tempo ignored", Smpte(25, 40), {"0.100000 643C90"}, 0.2},
        {"SMPTE 29.97 drop frame", Smpte(29, 100), {"0.033367 643C90"}, 0.066733},
        {"no tracks", SmfHeader(1, 0, 96), {}, 0},
    };
}

TEST(MidiFileParserTest, ReadsSongs)
{
    for (const Case& c : ReadCases()) {
        const SongLoad load = ParseMidiFile(c.file.data(), c.file.size());
        EXPECT_EQ(load.error, "") << c.name;
        EXPECT_EQ(Describe(load.song), c.events) << c.name;
        EXPECT_NEAR(load.song.lengthSeconds, c.lengthSeconds, 1e-6) << c.name;
    }
}

struct BadCase {
    const char* name;
    SmfBytes file;
    std::string error;
};

SmfBytes Format0Raw(const SmfBytes& track)
{
    SmfTrack raw;
    raw.Raw(track);
    return Format0(raw);
}

SmfBytes Truncated(SmfBytes file, std::size_t drop)
{
    file.resize(file.size() - drop);
    return file;
}

std::vector<BadCase> BadCases()
{
    return {
        {"empty file", {}, "not a MIDI file: it does not start with MThd"},
        {"a RIFF file", {'R', 'I', 'F', 'F', 0, 0, 0, 0}, "not a MIDI file: it does not start with MThd"},
        {"header of 5 bytes", SmfChunk("MThd", {0, 0, 0, 1, 0}), "the MIDI file's header (MThd) is cut short"},
        {"header cut by the end of the file", Truncated(SmfHeader(0, 1, 96), 1),
         "the MIDI file's header (MThd) is cut short"},
        {"format 2", SmfHeader(2, 1, 96), "MIDI file format 2 is not supported (only 0, one track, and 1, tracks played together)"},
        {"format 0 with two tracks", SmfHeader(0, 2, 96), "a MIDI file of format 0 must hold one track; its header says 2"},
        {"division of 0", SmfHeader(1, 0, 0), "the MIDI file's division is 0 ticks per quarter note"},
        {"SMPTE with 23 frames a second", SmfHeader(1, 0, (256 - 23) << 8 | 10),
         "the MIDI file's SMPTE division has 23 frames a second"},
        {"SMPTE with 0 ticks a frame", SmfHeader(1, 0, (256 - 25) << 8), "the MIDI file's SMPTE division has 0 ticks per frame"},
        {"fewer tracks than the header says", SmfHeader(1, 2, 96), "the MIDI file ends after 0 of its 2 tracks"},
        {"a track running past the end of the file", Truncated(Format0Raw({0, 0x90, 1, 1}), 1),
         "track 1 runs past the end of the file"},
        {"a data byte with no status", Format0Raw({0, 0x40, 0x40}), "track 1: a data byte with no status before it at byte 0 of the track"},
        {"a channel message cut short", Format0Raw({0, 0x90, 0x40}), "track 1: a channel message cut short at byte 0 of the track"},
        {"a data byte above 127", Format0Raw({0, 0xB0, 0x07, 0x80}),
         "track 1: a data byte above 127 in a channel message at byte 0 of the track"},
        {"a delta time of five bytes", Format0Raw({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 1, 1}),
         "track 1: a delta time cut short or longer than four bytes at byte 0 of the track"},
        {"a delta time cut short", Format0Raw({0, 0x90, 1, 1, 0x81}),
         "track 1: a delta time cut short or longer than four bytes at byte 4 of the track"},
        {"the track ends after a delta time", Format0Raw({0x00}), "track 1: the track ends after a delta time at byte 0 of the track"},
        {"a meta event past the end of the track", Format0Raw({0, 0xFF, 0x01, 0x05, 'a'}),
         "track 1: a meta event running past the end of the track at byte 0 of the track"},
        {"a meta event without its length", Format0Raw({0, 0xFF, 0x01}), "track 1: a meta event cut short at byte 0 of the track"},
        {"system exclusive past the end of the track", Format0Raw({0, 0xF0, 0x7F}),
         "track 1: a system exclusive message running past the end of the track at byte 0 of the track"},
        {"a real-time message in the file", Format0Raw({0, 0xF8}),
         "track 1: a system message (status 248) that has no place in a file at byte 0 of the track"},
    };
}

TEST(MidiFileParserTest, RefusesBrokenFilesWithAReason)
{
    for (const BadCase& c : BadCases()) {
        const SongLoad load = ParseMidiFile(c.file.data(), c.file.size());
        EXPECT_EQ(load.error, c.error) << c.name;
        EXPECT_TRUE(load.song.events.empty()) << c.name;
    }
}

// The bound on events holds across tracks: a file of tiny events can't fill the memory.
TEST(MidiFileParserTest, RefusesMoreEventsThanTheBound)
{
    SmfTrack many;
    SmfBytes events;
    for (std::size_t i = 0; i < kMaxSongEvents / 2 + 1; ++i)
        events.insert(events.end(), {0, 0xC0, 1});
    many.Raw(events);
    SmfWriter writer;
    writer.AddTrack() = many;
    writer.AddTrack() = many;
    const SmfBytes file = writer.File();
    const SongLoad load = ParseMidiFile(file.data(), file.size());
    EXPECT_EQ(load.error.rfind("track 2: more than 4000000 events in the file", 0), 0u) << load.error;
}

TEST(MidiFileReaderTest, ReadsAFileFromDiskAndSaysWhenItCant)
{
    const std::string path = "midi-file-reader-test.mid";
    SmfWriter writer(96, 0);
    writer.AddTrack().Message(96, NoteOn(9, 36, 127)).EndOfTrack(192);
    ASSERT_TRUE(WriteBytesToFile(path, writer.File()));
    const SongLoad load = ReadMidiFile(path);
    EXPECT_EQ(load.error, "");
    EXPECT_EQ(Describe(load.song), std::vector<std::string>{"0.500000 7F2499"});
    EXPECT_EQ(std::remove(path.c_str()), 0);

    EXPECT_EQ(ReadMidiFile("no-such-file.mid").error, "cannot open the MIDI file no-such-file.mid");
}

} // namespace
