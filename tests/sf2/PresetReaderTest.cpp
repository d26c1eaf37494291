#include "sf2/PresetReader.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

// "name preset:bank" for each entry, so that a failure shows the whole list.
std::vector<std::string> Describe(const std::vector<PresetHeader>& entries)
{
    std::vector<std::string> lines;
    for (const PresetHeader& entry : entries)
        lines.push_back(entry.Name() + " " + std::to_string(entry.Preset()) + ":" + std::to_string(entry.Bank()));
    return lines;
}

// Writes the image to a file of its own in the working folder, reads it, and removes the file.
// Removing it also proves the reader closed it: Windows refuses to delete a file still open.
struct ReadResult {
    bool found;
    std::vector<PresetHeader> entries;
};

ReadResult ReadImage(const std::string& fileName, const Bytes& image)
{
    WriteFile(fileName, image);
    ReadResult result{false, {}};
    result.found = ReadPresetHeaders(fileName, result.entries);
    EXPECT_EQ(std::remove(fileName.c_str()), 0) << fileName << " is still open or was not written";
    return result;
}

struct Case {
    const char* name;
    Bytes image;
    bool found;
    std::vector<std::string> entries;
};

Bytes PresetHeaders(std::initializer_list<Bytes> records)
{
    return Chunk("phdr", Concat(records));
}

Bytes NameField(const Bytes& bytes)
{
    Bytes field = bytes;
    field.resize(20, 0);
    return field;
}

std::vector<Case> WalkCases()
{
    const Bytes piano = Record("Piano", 0, 0);
    const Bytes standardPresets = PresetHeaders({piano, TerminalRecord()});
    const Bytes otherChunks = Concat({Chunk("pbag", Bytes(8, 0)), Chunk("pgen", Bytes(4, 0))});
    return {
        {"well-formed file, bank 128 before bank 0, in file order",
         SoundFontWith(PresetHeaders({Record("Standard Kit", 0, 128), Record("Grand Piano", 0, 0), TerminalRecord()})),
         true, {"Standard Kit 0:128", "Grand Piano 0:0"}},
        {"top-level identifier and form type are not checked",
         Riff({List("pdta", {standardPresets})}, "RIFX", "abcd"), true, {"Piano 0:0"}},
        {"top-level size is not checked", Concat({Text("RIFF"), U32(0), Text("sfbk"), List("pdta", {standardPresets})}),
         true, {"Piano 0:0"}},
        {"first sub-chunk of pdta is not phdr",
         Riff({List("pdta", {Chunk("pbag", Bytes(8, 0)), Chunk("pmod", Bytes(10, 0)), standardPresets})}), true,
         {"Piano 0:0"}},
        {"phdr after the end of the pdta list is still found",
         Riff({List("pdta", {otherChunks}), standardPresets}), true, {"Piano 0:0"}},
        {"odd chunk sizes are followed by a pad byte",
         Riff({Chunk("junk", Text("abc")), List("pdta", {Chunk("pmod", Text("odd")), standardPresets})}), true,
         {"Piano 0:0"}},
        {"odd chunk without its pad byte loses the walk",
         Riff({RawChunk("junk", 3, Text("abc")), List("pdta", {standardPresets})}), false, {}},
        {"no pdta list", Riff({List("INFO", {Chunk("INAM", Text("No presets"))}), List("sdta", {})}), false, {}},
        {"pdta as a plain chunk is not the list", Riff({Chunk("pdta", standardPresets)}), false, {}},
        {"LIST and pdta compare with case",
         Riff({Chunk("list", Concat({Text("pdta"), standardPresets})), List("PDTA", {standardPresets})}), false, {}},
        {"phdr compares with case", Riff({List("pdta", {Chunk("PHDR", Concat({piano, TerminalRecord()}))})}), false, {}},
        {"huge chunk size runs past the end of the file",
         Riff({RawChunk("junk", 0xFFFFFFFFu, Bytes(4, 0)), List("pdta", {standardPresets})}), false, {}},
        {"empty file", {}, false, {}},
        {"11 bytes", Text(std::string("RIFF\x04\0\0\0sfb", 11)), false, {}},
        {"12-byte header alone", Concat({Text("RIFF"), U32(4), Text("sfbk")}), false, {}},
        {"chunk header cut short", Concat({Text("RIFF"), U32(10), Text("sfbk"), Text("LIST"), U16(4)}), false, {}},
        {"list type cut short", Concat({Text("RIFF"), U32(14), Text("sfbk"), Text("LIST"), U32(4), U16(0)}), false,
         {}},
        {"pdta holds nothing after its type", Riff({List("pdta", {})}), false, {}},
    };
}

std::vector<Case> RecordCases()
{
    const Bytes piano = Record("Piano", 0, 0);
    const Bytes strings = Record("Strings", 48, 0);
    return {
        {"phdr of size 0", SoundFontWith(PresetHeaders({})), true, {}},
        {"records after the terminal record are not read",
         SoundFontWith(PresetHeaders({piano, TerminalRecord(), strings, TerminalRecord()})), true, {"Piano 0:0"}},
        {"terminal record alone", SoundFontWith(PresetHeaders({TerminalRecord()})), true, {}},
        {"bytes after the zero of EOP do not matter",
         SoundFontWith(PresetHeaders({piano, Concat({NameField(Text(std::string("EOP\0xyz", 7))), Bytes(18, 0)}),
                                      strings})),
         true, {"Piano 0:0"}},
        {"eop in lower case and longer names are ordinary presets",
         SoundFontWith(PresetHeaders({Record("eop", 1, 0), Record("EOPS", 2, 0), Record("EOP ", 3, 0),
                                      Record(" EOP", 4, 0), TerminalRecord()})),
         true, {"eop 1:0", "EOPS 2:0", "EOP  3:0", " EOP 4:0"}},
        {"without a terminal record every record within the size is read",
         SoundFontWith(PresetHeaders({piano, strings})), true, {"Piano 0:0", "Strings 48:0"}},
        {"a record starting within the size is read past the chunk's end",
         Riff({List("pdta", {RawChunk("phdr", 39, Concat({piano, strings}))})}), true,
         {"Piano 0:0", "Strings 48:0"}},
        {"a record starting at the size is not read",
         Riff({List("pdta", {RawChunk("phdr", 38, Concat({piano, strings}))})}), true, {"Piano 0:0"}},
        {"record cut short by the end of the file fails the read",
         Concat({Text("RIFF"), U32(0), Text("sfbk"), Text("LIST"), U32(100), Text("pdta"), Text("phdr"), U32(76), piano,
                 Bytes(strings.begin(), strings.begin() + 30)}),
         false, {}},
        {"bank and preset numbers come back unchanged",
         SoundFontWith(PresetHeaders({Record("High", 0xFFFF, 0x8001), Record("Zero", 0, 0), TerminalRecord()})), true,
         {"High 65535:32769", "Zero 0:0"}},
    };
}

void RunCases(const std::vector<Case>& cases)
{
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadResult result = ReadImage("sf2-case-" + std::to_string(index++) + ".sf2", c.image);
        EXPECT_EQ(result.found, c.found);
        EXPECT_EQ(Describe(result.entries), c.entries);
    }
}

} // namespace

TEST(PresetReader, WalksTheChunksToThePresetHeaders)
{
    RunCases(WalkCases());
}

TEST(PresetReader, ReadsRecordsUpToTheTerminalOne)
{
    RunCases(RecordCases());
}

TEST(PresetReader, KeepsEveryRecordByteForByte)
{
    const Bytes record = Record("Choir Aahs", 52, 0, 0x1234, 0x89ABCDEF, 0x01020304, 0xFFFFFFFE);
    ReadResult result = ReadImage("sf2-bytes.sf2", SoundFontWith(Chunk("phdr", Concat({record, TerminalRecord()}))));
    ASSERT_TRUE(result.found);
    ASSERT_EQ(result.entries.size(), 1u);
    const PresetHeader& entry = result.entries[0];
    EXPECT_EQ(Bytes(entry.record.begin(), entry.record.end()), record);
    EXPECT_EQ(entry.PresetBagIndex(), 0x1234);
    EXPECT_EQ(entry.Library(), 0x89ABCDEFu);
    EXPECT_EQ(entry.Genre(), 0x01020304u);
    EXPECT_EQ(entry.Morphology(), 0xFFFFFFFEu);
}

TEST(PresetReader, TwentyCharacterNameEndsAtTheField)
{
    // The preset number after the name reads "AB": a name read past its field would show it.
    const std::string name = "Twenty Characters 20";
    ASSERT_EQ(name.size(), 20u);
    ReadResult result = ReadImage("sf2-name20.sf2",
                                  SoundFontWith(Chunk("phdr", Concat({Record(name, 0x4241, 0), TerminalRecord()}))));
    ASSERT_EQ(result.entries.size(), 1u);
    EXPECT_EQ(result.entries[0].Name(), name);
}

TEST(PresetReader, SortingPutsBankZeroBeforeBank128)
{
    ReadResult result = ReadImage(
        "sf2-sort.sf2",
        SoundFontWith(Chunk("phdr", Concat({Record("Standard Kit", 0, 128), Record("Grand Piano", 0, 0), TerminalRecord()}))));
    std::sort(result.entries.begin(), result.entries.end());
    EXPECT_EQ(Describe(result.entries), (std::vector<std::string>{"Grand Piano 0:0", "Standard Kit 0:128"}));
}

TEST(PresetReader, EmptiesTheCallersEntriesFirst)
{
    const std::string fileName = "sf2-empties.sf2";
    std::vector<PresetHeader> entries(3);
    WriteFile(fileName, SoundFontWith(Chunk("phdr", Concat({Record("Piano", 0, 0), TerminalRecord()}))));
    EXPECT_TRUE(ReadPresetHeaders(fileName, entries));
    EXPECT_EQ(Describe(entries), std::vector<std::string>{"Piano 0:0"});

    WriteFile(fileName, Riff({List("INFO", {})}));
    EXPECT_FALSE(ReadPresetHeaders(fileName, entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(std::remove(fileName.c_str()), 0);

    entries.resize(2);
    EXPECT_FALSE(ReadPresetHeaders("sf2-no-such-file.sf2", entries));
    EXPECT_TRUE(entries.empty());
}

TEST(PresetReader, ListsPresetsBeyondFourGigabytes)
{
    // Sample data of almost 4 GB put the preset list past both the 2 GB and the 4 GB mark.
    // The file is sparse: the sample data are holes.
    const std::uint32_t sampleListSize = 0xFFFFFFF0u;
    const std::uint64_t presetListOffset = 12 + 8 + std::uint64_t{sampleListSize};
    const std::string fileName = "sf2-large.sf2";
    const Bytes presetList = List("pdta", {Chunk("phdr", Concat({Record("Far Away", 7, 1), TerminalRecord()}))});
    if (!WriteSparseFile(fileName, {{0, Concat({Text("RIFF"), U32(0xFFFFFFFFu), Text("sfbk"), Text("LIST"),
                                                U32(sampleListSize), Text("sdta")})},
                                    {presetListOffset, presetList}})) {
        std::remove(fileName.c_str());
        GTEST_SKIP() << "this file system can't hold a file of " << presetListOffset + presetList.size() << " bytes";
    }
    std::vector<PresetHeader> entries;
    EXPECT_TRUE(ReadPresetHeaders(fileName, entries));
    EXPECT_EQ(Describe(entries), std::vector<std::string>{"Far Away 7:1"});
    EXPECT_EQ(std::remove(fileName.c_str()), 0);
}
