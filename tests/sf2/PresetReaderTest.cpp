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

// The same chunk count times.
Bytes Repeated(const Bytes& chunk, std::size_t count)
{
    Bytes bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return bytes;
}

std::vector<Case> WalkCases()
{
    const Bytes piano = Record("Piano", 0, 0);
    const Bytes standardPresets = PresetHeaders({piano, TerminalRecord()});
    const Bytes presetData = List("pdta", {standardPresets});
    const Bytes otherChunks = Concat({Chunk("pbag", Bytes(8, 0)), Chunk("pgen", Bytes(4, 0))});
    return {
        {"well-formed file, bank 128 before bank 0, in file order",
         SoundFontWith(PresetHeaders({Record("Standard Kit", 0, 128), Record("Grand Piano", 0, 0), TerminalRecord()})),
         true, {"Standard Kit 0:128", "Grand Piano 0:0"}},
        {"top-level identifier and form type are not checked", Riff({presetData}, "RIFX", "abcd"), true,
         {"Piano 0:0"}},
        {"a list after the end of the form is not read", Concat({Text("RIFF"), U32(4), Text("sfbk"), presetData}),
         false, {}},
        {"a form size past the end of the file is cut to the file",
         Concat({Text("RIFF"), U32(0xFFFFFF00u), Text("sfbk"), presetData}), true, {"Piano 0:0"}},
        {"first sub-chunk of pdta is not phdr",
         Riff({List("pdta", {Chunk("pbag", Bytes(8, 0)), Chunk("pmod", Bytes(10, 0)), standardPresets})}), true,
         {"Piano 0:0"}},
        {"phdr after the end of the pdta list is not found", Riff({List("pdta", {otherChunks}), standardPresets}),
         false, {}},
        {"a chunk running past the end of its list ends the walk",
         Riff({List("pdta", {RawChunk("pbag", 200, Bytes(8, 0)), standardPresets})}), false, {}},
        {"odd chunk sizes are followed by a pad byte",
         Riff({Chunk("junk", Text("abc")), List("pdta", {Chunk("pmod", Text("odd")), standardPresets})}), true,
         {"Piano 0:0"}},
        {"odd chunk without its pad byte: the next header follows the data",
         Riff({RawChunk("junk", 3, Text("abc")), presetData}), true, {"Piano 0:0"}},
        // As in real files: where the pad byte should be, the list's header seen one byte on
        // reads as the printable identifier "IST" plus the size's low byte, with a huge size.
        {"odd list without its pad byte before the preset data",
         Riff({RawChunk("LIST", 15, Concat({Text("sdta"), RawChunk("smpl", 3, Text("abc"))})),
               List("pdta", {PresetHeaders({piano, Record("Strings", 48, 0), TerminalRecord()})})}),
         true, {"Piano 0:0", "Strings 48:0"}},
        {"odd sub-chunk without its pad byte inside the preset data",
         Riff({List("pdta", {RawChunk("pmod", 3, Text("odd")), standardPresets})}), true, {"Piano 0:0"}},
        {"no plausible header after an odd chunk, padded or not",
         Riff({RawChunk("junk", 3, Text("abc")), Bytes(9, 0), presetData}), false, {}},
        {"no pdta list", Riff({List("INFO", {Chunk("INAM", Text("No presets"))}), List("sdta", {})}), false, {}},
        {"pdta as a plain chunk is not the list", Riff({Chunk("pdta", standardPresets)}), false, {}},
        {"LIST and pdta compare with case",
         Riff({Chunk("list", Concat({Text("pdta"), standardPresets})), List("PDTA", {standardPresets})}), false, {}},
        {"phdr compares with case", Riff({List("pdta", {Chunk("PHDR", Concat({piano, TerminalRecord()}))})}), false, {}},
        {"huge chunk size runs past the end of the file",
         Riff({RawChunk("junk", 0xFFFFFFFFu, Bytes(4, 0)), presetData}), false, {}},
        {"an identifier of zero bytes ends the walk", Riff({Chunk(std::string(4, '\0'), {}), presetData}), false, {}},
        {"an identifier with a byte beyond ASCII ends the walk", Riff({Chunk("jun\xE9", {}), presetData}), false, {}},
        {"an identifier with a control character ends the walk", Riff({Chunk("jun\n", {}), presetData}), false, {}},
        {"a list too small for its type ends the walk", Riff({RawChunk("LIST", 0, {}), presetData}), false, {}},
        {"1023 chunks before the preset data", Riff({Repeated(Chunk("junk", {}), 1023), presetData}), true,
         {"Piano 0:0"}},
        {"1024 chunks before the preset data: no SoundFont has so many",
         Riff({Repeated(Chunk("junk", {}), 1024), presetData}), false, {}},
        {"1024 empty lists before the preset data", Riff({Repeated(List("abcd", {}), 1024), presetData}), false, {}},
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
    const Bytes otherChunks = Concat({Chunk("pbag", Bytes(8, 0)), Chunk("pgen", Bytes(4, 0))});
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
        {"the last record is the terminal one whatever its name",
         SoundFontWith(PresetHeaders({piano, strings})), true, {"Piano 0:0"}},
        {"a terminal record with an empty name, 0:0",
         SoundFontWith(PresetHeaders({piano, strings, Record("", 0, 0)})), true, {"Piano 0:0", "Strings 48:0"}},
        {"a terminal record with an empty name, 255:255",
         SoundFontWith(PresetHeaders({piano, Record("", 255, 255)})), true, {"Piano 0:0"}},
        {"a lone record that is not named EOP is the terminal one", SoundFontWith(PresetHeaders({piano})), true, {}},
        {"bytes after the last whole record are not read as a record",
         Riff({List("pdta", {RawChunk("phdr", 3 * 38 + 20, Concat({piano, strings, Record("", 0, 0),
                                                                   Bytes(strings.begin(), strings.begin() + 20)})),
                             otherChunks})}),
         true, {"Piano 0:0", "Strings 48:0"}},
        {"a size one byte short of the terminal record leaves it out",
         Riff({List("pdta", {RawChunk("phdr", 3 * 38 - 1, Concat({piano, strings, Bytes(37, 0)})), Bytes(1, 0),
                             otherChunks})}),
         true, {"Piano 0:0"}},
        {"less than one record", SoundFontWith(Chunk("phdr", Bytes(37, 'x'))), true, {}},
        {"a list cut short by the end of the file fails the read",
         Concat({Text("RIFF"), U32(0xFFFFFFF0u), Text("sfbk"), Text("LIST"), U32(100), Text("pdta"), Text("phdr"),
                 U32(76), piano, Bytes(strings.begin(), strings.begin() + 30)}),
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

TEST(PresetReader, ListsAtMost65536Presets)
{
    // One record more than bag indices can tell apart, and the terminal record.
    Bytes records = Repeated(Record("Same", 0, 0), kMaxPresetHeaders + 1);
    const Bytes terminal = TerminalRecord();
    records.insert(records.end(), terminal.begin(), terminal.end());
    ReadResult result = ReadImage("sf2-many.sf2", SoundFontWith(Chunk("phdr", records)));
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.entries.size(), kMaxPresetHeaders);
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
