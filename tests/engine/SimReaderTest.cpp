// The simulated card's own file readers: what it answers for every kind of file a user may hand
// it, and that damaged or huge files are answered with a code, never a crash.

#include "cardmodel/CardSoundFontReader.h"
#include "cardmodel/CardWaveReader.h"
#include "tests/engine/SoundFontFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

FixtureSoundFont TwoBankFont()
{
    FixtureSoundFont font;
    font.name = "Test Strings";
    font.presets = {
        {"Violin", 0, 40, 100},
        {"Cello", 0, 42, 300},
        {"Drum Kit", 128, 0, 50},
        {"Variation", 8, 40, 20},
    };
    return font;
}

std::string Replace(std::string bytes, const std::string& from, const std::string& to)
{
    bytes.replace(bytes.find(from), from.size(), to);
    return bytes;
}

std::size_t ChunkAt(const std::string& bytes, const char* id)
{
    return bytes.find(std::string(id, 4));
}

std::uint32_t ChunkSize(const std::string& bytes, const char* id)
{
    const unsigned char* size =
        reinterpret_cast<const unsigned char*>(bytes.data() + ChunkAt(bytes, id) + 4);
    return size[0] | size[1] << 8 | size[2] << 16 | static_cast<std::uint32_t>(size[3]) << 24;
}

std::string WithChunkSize(std::string bytes, const char* id, std::uint32_t size)
{
    std::size_t at = ChunkAt(bytes, id) + 4;
    for (int shift = 0; shift < 32; shift += 8)
        bytes[at++] = static_cast<char>(size >> shift & 0xFF);
    return bytes;
}

struct FileCase {
    const char* name;
    std::function<std::string()> bytes;
    SfmResult expected;
};

class SimReaderTest : public ::testing::Test {
protected:
    std::string m_folder = FreshFolder("reader");
};

TEST_F(SimReaderTest, AnswersEveryKindOfFileWithItsCode)
{
    const std::string good = SoundFontBytes(TwoBankFont());
    const FileCase cases[] = {
        {"a SoundFont", [&] { return good; }, kSfmSuccess},
        {"an empty file", [] { return std::string(); }, kSfmFormatInvalid},
        {"a text file", [] { return std::string("just some text, not a SoundFont\n"); },
         kSfmFormatInvalid},
        {"a wave file", [] { return WaveBytes(64); }, kSfmFormatInvalid},
        {"no preset headers", [&] { return Replace(good, "phdr", "xhdr"); }, kSfmFormatInvalid},
        // An odd size is padded, so the chunks after it still line up.
        {"preset headers of a broken length",
         [&] { return WithChunkSize(good, "phdr", ChunkSize(good, "phdr") - 1); },
         kSfmFormatInvalid},
        {"preset headers larger than their list",
         [&] { return WithChunkSize(good, "phdr", 0xFFFFFFF0u); }, kSfmFormatInvalid},
        {"cut short inside its preset data", [&] { return good.substr(0, good.size() - 300); },
         kSfmFormatInvalid},
        {"a RIFF size larger than the file",
         [&] { return WithChunkSize(good, "RIFF", 0xFFFFFFF0u); }, kSfmSuccess},
    };
    for (const FileCase& c : cases) {
        const std::string path = m_folder + "case.sf2";
        WriteBytes(path, c.bytes());
        CardSoundFontContents contents;
        EXPECT_EQ(CardReadSoundFont(path, contents), c.expected) << c.name;
    }
    CardSoundFontContents contents;
    EXPECT_EQ(CardReadSoundFont(m_folder + "missing.sf2", contents), kSfmPathnameInvalid);
    EXPECT_EQ(CardReadSoundFont("", contents), kSfmPathnameInvalid);
}

TEST_F(SimReaderTest, ReadsTheNameTheMelodicPresetsAndTheSampleSize)
{
    const std::string path = m_folder + "strings.sf2";
    WriteSoundFont(path, TwoBankFont());
    CardSoundFontContents contents;
    ASSERT_EQ(CardReadSoundFont(path, contents), kSfmSuccess);
    EXPECT_EQ(contents.name, "Test Strings");
    // Only file bank 0 reaches the card's preset numbers.
    EXPECT_EQ(contents.presetNames,
              (std::map<std::uint16_t, std::string>{{40, "Violin"}, {42, "Cello"}}));
    EXPECT_EQ(contents.sampleBytes, 2u * (100 + 300 + 50 + 20));

    FixtureSoundFont unnamed = TwoBankFont();
    unnamed.name.reset();
    WriteSoundFont(path, unnamed);
    ASSERT_EQ(CardReadSoundFont(path, contents), kSfmSuccess);
    EXPECT_EQ(contents.name, "");
}

TEST_F(SimReaderTest, MeasuresOnePresetBySamplesItPlays)
{
    const std::string path = m_folder + "strings.sf2";
    WriteSoundFont(path, TwoBankFont());
    struct PresetCase {
        std::uint16_t bank, preset;
        SfmResult expected;
        const char* name;
        std::uint64_t bytes;
    } cases[] = {
        {0, 42, kSfmSuccess, "Cello", 600},
        {128, 0, kSfmSuccess, "Drum Kit", 100},
        {8, 40, kSfmSuccess, "Variation", 40},
        {0, 41, kSfmPresetIndexInvalid, "", 0},
        {1, 40, kSfmPresetIndexInvalid, "", 0},
    };
    for (const PresetCase& c : cases) {
        CardPresetContents preset;
        EXPECT_EQ(CardReadPreset(path, c.bank, c.preset, preset), c.expected)
            << c.bank << ":" << c.preset;
        EXPECT_EQ(preset.name, c.name) << c.bank << ":" << c.preset;
        EXPECT_EQ(preset.sampleBytes, c.bytes) << c.bank << ":" << c.preset;
    }
}

TEST_F(SimReaderTest, AcceptsOnlyRiffWaveFilesWithFormatAndData)
{
    const std::string wave = WaveBytes(1000);
    const FileCase cases[] = {
        {"a wave file", [&] { return wave; }, kSfmSuccess},
        {"a SoundFont", [] { return SoundFontBytes(TwoBankFont()); }, kSfmFormatInvalid},
        {"no data chunk", [&] { return Replace(wave, "data", "junk"); }, kSfmFormatInvalid},
        {"no format chunk", [&] { return Replace(wave, "fmt ", "junk"); }, kSfmFormatInvalid},
        {"a data chunk past the end", [&] { return wave.substr(0, wave.size() - 1); },
         kSfmFormatInvalid},
        {"an empty file", [] { return std::string(); }, kSfmFormatInvalid},
    };
    for (const FileCase& c : cases) {
        const std::string path = m_folder + "case.wav";
        WriteBytes(path, c.bytes());
        std::uint64_t dataBytes = 0;
        EXPECT_EQ(CardReadWave(path, dataBytes), c.expected) << c.name;
        if (c.expected == kSfmSuccess) {
            EXPECT_EQ(dataBytes, 1000u) << c.name;
        }
    }
    std::uint64_t dataBytes = 0;
    EXPECT_EQ(CardReadWave(m_folder + "missing.wav", dataBytes), kSfmPathnameInvalid);
}

// Every cut and every overwritten byte of a small SoundFont: the readers answer with a code.
TEST_F(SimReaderTest, DamagedSoundFontsAreAnsweredWithACode)
{
    const std::string good = SoundFontBytes(TwoBankFont());
    const std::string path = m_folder + "damaged.sf2";
    auto check = [&](const std::string& bytes, const std::string& damage) {
        WriteBytes(path, bytes);
        CardSoundFontContents contents;
        SfmResult whole = CardReadSoundFont(path, contents);
        EXPECT_TRUE(whole == kSfmSuccess || whole == kSfmFormatInvalid) << damage << ": " << whole;
        CardPresetContents preset;
        SfmResult one = CardReadPreset(path, 0, 42, preset);
        EXPECT_TRUE(one == kSfmSuccess || one == kSfmFormatInvalid || one == kSfmPresetIndexInvalid)
            << damage << ": " << one;
    };
    for (std::size_t length = 0; length < good.size(); length += 7)
        check(good.substr(0, length), "cut at " + std::to_string(length));
    // The sample data itself is never parsed; every other byte is.
    const std::size_t samplesStart = ChunkAt(good, "smpl") + 8;
    const std::size_t samplesEnd = samplesStart + ChunkSize(good, "smpl");
    for (std::size_t at = 0; at < good.size(); at = at + 1 == samplesStart ? samplesEnd : at + 1) {
        for (char value : {'\0', '\xFF', '\x7F'}) {
            std::string bytes = good;
            bytes[at] = value;
            check(bytes, "byte " + std::to_string(at) + " set to " + std::to_string(value & 0xFF));
        }
    }
}

// A SoundFont with nearly 4 GB of samples: its preset data lies beyond every 32-bit signed
// file position, and the sample data is measured, not read.
TEST_F(SimReaderTest, ReadsPresetDataBehindFourGigabytesOfSamples)
{
    FixtureSoundFont huge = TwoBankFont();
    huge.declaredSampleBytes = 0xFFFF0000ull;
    const std::string path = m_folder + "huge.sf2";
    WriteSoundFont(path, huge);
    CardSoundFontContents contents;
    ASSERT_EQ(CardReadSoundFont(path, contents), kSfmSuccess);
    EXPECT_EQ(contents.sampleBytes, 0xFFFF0000ull);
    EXPECT_EQ(contents.presetNames.at(40), "Violin");
    CardPresetContents preset;
    EXPECT_EQ(CardReadPreset(path, 0, 42, preset), kSfmSuccess);
    EXPECT_EQ(preset.name, "Cello");
    std::remove(path.c_str());
}

} // namespace
