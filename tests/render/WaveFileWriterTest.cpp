#include "render/WaveFileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t U32At(const Bytes& bytes, std::size_t offset)
{
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::uint16_t U16At(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::string TextAt(const Bytes& bytes, std::size_t offset)
{
    return std::string(bytes.begin() + offset, bytes.begin() + offset + 4);
}

// Written in two calls, so that the header is known to be filled in at the end, not the start.
Bytes WriteTwice(const std::string& path, WaveSampleFormat format, const std::vector<float>& first,
                 const std::vector<float>& second)
{
    CWaveFileWriter writer;
    EXPECT_TRUE(writer.Open(path, 48000, format)) << writer.Error();
    EXPECT_TRUE(writer.Write(first.data(), first.size() / 2)) << writer.Error();
    EXPECT_TRUE(writer.Write(second.data(), second.size() / 2)) << writer.Error();
    EXPECT_TRUE(writer.Finish()) << writer.Error();
    EXPECT_EQ(writer.FramesWritten(), (first.size() + second.size()) / 2);
    const Bytes bytes = ReadAll(path);
    EXPECT_EQ(std::remove(path.c_str()), 0);
    return bytes;
}

TEST(WaveFileWriterTest, Writes16BitStereoWithItsHeader)
{
    const Bytes file = WriteTwice("wave-writer-16.wav", WaveSampleFormat::Pcm16, {0.0f, 1.0f, -1.0f, 0.5f},
                                  {2.0f, -3.0f, 1.0f / 32767, -0.49f / 32767});
    ASSERT_EQ(file.size(), 44u + 16u);
    EXPECT_EQ(TextAt(file, 0), "RIFF");
    EXPECT_EQ(U32At(file, 4), 36u + 16u);
    EXPECT_EQ(TextAt(file, 8), "WAVE");
    EXPECT_EQ(TextAt(file, 12), "fmt ");
    EXPECT_EQ(U32At(file, 16), 16u);
    EXPECT_EQ(U16At(file, 20), 1u);     // PCM
    EXPECT_EQ(U16At(file, 22), 2u);     // channels
    EXPECT_EQ(U32At(file, 24), 48000u); // frames a second
    EXPECT_EQ(U32At(file, 28), 192000u);
    EXPECT_EQ(U16At(file, 32), 4u);
    EXPECT_EQ(U16At(file, 34), 16u);
    EXPECT_EQ(TextAt(file, 36), "data");
    EXPECT_EQ(U32At(file, 40), 16u);
    // Rounded to the nearest step; beyond full scale clipped.
    const std::vector<std::int16_t> expected{0, 32767, -32767, 16384, 32767, -32767, 1, 0};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(static_cast<std::int16_t>(U16At(file, 44 + 2 * i)), expected[i]) << "sample " << i;
}

TEST(WaveFileWriterTest, WritesFloatWithFormatExtensionAndFactChunk)
{
    const std::vector<float> samples{0.25f, -1.5f};
    const Bytes file = WriteTwice("wave-writer-float.wav", WaveSampleFormat::Float32, samples, {});
    ASSERT_EQ(file.size(), 58u + 8u);
    EXPECT_EQ(U32At(file, 4), 50u + 8u);
    EXPECT_EQ(U32At(file, 16), 18u);
    EXPECT_EQ(U16At(file, 20), 3u); // IEEE float
    EXPECT_EQ(U32At(file, 28), 384000u);
    EXPECT_EQ(U16At(file, 32), 8u);
    EXPECT_EQ(U16At(file, 34), 32u);
    EXPECT_EQ(U16At(file, 36), 0u);
    EXPECT_EQ(TextAt(file, 38), "fact");
    EXPECT_EQ(U32At(file, 46), 1u); // frames
    EXPECT_EQ(TextAt(file, 50), "data");
    EXPECT_EQ(U32At(file, 54), 8u);
    float read[2];
    std::memcpy(read, file.data() + 58, sizeof read);
    EXPECT_EQ(read[0], 0.25f);
    EXPECT_EQ(read[1], -1.5f); // floats are not clipped
}

TEST(WaveFileWriterTest, SaysWhenTheFileCantBeCreated)
{
    CWaveFileWriter writer;
    EXPECT_FALSE(writer.Open("no-such-folder/out.wav", 44100, WaveSampleFormat::Pcm16));
    EXPECT_EQ(writer.Error(), "cannot create the wave file no-such-folder/out.wav");
    const float frame[2] = {0, 0};
    EXPECT_FALSE(writer.Write(frame, 1));
    EXPECT_FALSE(writer.Finish());
}

TEST(WaveFileWriterTest, KnowsTheLargestSoundAWaveFileHolds)
{
    struct Case {
        const char* name;
        std::uint64_t dataBytes;
        WaveSampleFormat format;
        bool fits;
    };
    const Case cases[] = {
        {"16-bit, RIFF size exactly 4 GB - 1", 0xFFFFFFFFull - 36, WaveSampleFormat::Pcm16, true},
        {"16-bit, one byte more", 0xFFFFFFFFull - 35, WaveSampleFormat::Pcm16, false},
        {"float, RIFF size exactly 4 GB - 1", 0xFFFFFFFFull - 50, WaveSampleFormat::Float32, true},
        {"float, one byte more", 0xFFFFFFFFull - 49, WaveSampleFormat::Float32, false},
        {"6 hours 44 kHz 16-bit", 6ull * 3600 * 44100 * 4, WaveSampleFormat::Pcm16, true},
        {"7 hours 44 kHz 16-bit", 7ull * 3600 * 44100 * 4, WaveSampleFormat::Pcm16, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitsWaveFile(c.dataBytes, c.format), c.fits) << c.name;
}

} // namespace
