#include "sf2/SoundFontReader.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

SoundFontSummary ReadImage(const std::string& fileName, const Bytes& image, bool withPresets = true)
{
    WriteFile(fileName, image);
    SoundFontSummary summary;
    ReadSoundFont(fileName, summary, withPresets);
    EXPECT_EQ(std::remove(fileName.c_str()), 0) << fileName << " is still open or was not written";
    return summary;
}

Bytes PresetData()
{
    return List("pdta", {Chunk("phdr", Concat({Record("Piano", 0, 0), TerminalRecord()}))});
}

} // namespace

TEST(SoundFontReader, SampleMemoryIsTheSizeOfTheSampleChunks)
{
    struct Case {
        const char* name;
        Bytes image;
        bool known;
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {"16-bit samples", SoundFontWith(Chunk("phdr", Concat({Record("Piano", 0, 0), TerminalRecord()}))), true, 5000},
        {"24-bit samples: smpl and sm24",
         Riff({List("sdta", {Chunk("smpl", Bytes(4000, 1)), Chunk("sm24", Bytes(2000, 2))}), PresetData()}), true, 6000},
        {"sample data after the preset data", Riff({PresetData(), List("sdta", {Chunk("smpl", Bytes(300, 1))})}), true,
         300},
        {"other chunks in the sample data are not counted",
         Riff({List("sdta", {Chunk("junk", Bytes(50, 0)), Chunk("smpl", Bytes(10, 1))}), PresetData()}), true, 10},
        {"a smpl larger than its list is not believed",
         Riff({List("sdta", {RawChunk("smpl", 0x00FFFFFFu, {})}), PresetData()}), false, 0},
        {"no sample data list", Riff({PresetData()}), false, 0},
        {"sm24 without smpl", Riff({List("sdta", {Chunk("sm24", Bytes(20, 0))}), PresetData()}), false, 0},
        {"empty smpl", Riff({List("sdta", {Chunk("smpl", {})}), PresetData()}), true, 0},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool withPresets : {true, false}) {
            SoundFontSummary summary = ReadImage("sf2-size-" + std::to_string(index++) + ".sf2", c.image, withPresets);
            EXPECT_EQ(summary.damage, SoundFontDamage::None);
            EXPECT_EQ(summary.presets.size(), withPresets ? 1u : 0u);
            EXPECT_EQ(summary.sampleBytesKnown, c.known);
            EXPECT_EQ(summary.sampleBytes, c.bytes);
        }
    }
}

TEST(SoundFontReader, DamagedFilesSayWhy)
{
    int index = 0;
    for (const DamagedImage& damaged : DamagedImages()) {
        SCOPED_TRACE(damaged.name);
        SoundFontSummary summary;
        const std::string fileName = "sf2-damaged-" + std::to_string(index++) + ".sf2";
        WriteFile(fileName, damaged.image);
        EXPECT_FALSE(ReadSoundFont(fileName, summary));
        EXPECT_EQ(summary.damage, damaged.damage);
        EXPECT_TRUE(summary.presets.empty());
        EXPECT_STRNE(DamageText(summary.damage), "");
        EXPECT_EQ(std::remove(fileName.c_str()), 0);
    }
}

TEST(SoundFontReader, AFileThatCantBeOpenedSaysSo)
{
    SoundFontSummary summary;
    EXPECT_FALSE(ReadSoundFont("sf2-no-such-file.sf2", summary));
    EXPECT_EQ(summary.damage, SoundFontDamage::CantOpen);
    EXPECT_STREQ(DamageText(SoundFontDamage::None), "");
}

TEST(SoundFontReader, AFileWithPresetsIsNotDamagedWhateverItsHeaderSays)
{
    SoundFontSummary summary = ReadImage("sf2-rifx.sf2", Riff({PresetData()}, "RIFX", "abcd"));
    EXPECT_EQ(summary.damage, SoundFontDamage::None);
    EXPECT_EQ(summary.presets.size(), 1u);
}
