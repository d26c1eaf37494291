#include "midi/MidiMessage.h"
#include "midi/MidiResult.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct PackCase {
    const char* name;
    std::uint8_t status, data1, data2;
    std::uint32_t word;
};

const PackCase kPackCases[] = {
    {"program change, fourth channel, program 5", 0xC3, 0x05, 0x00, 0x000005C3},
    {"bank select 127", 0xB0, 0x00, 0x7F, 0x007F00B0},
    {"note on 60 velocity 100, second channel", 0x91, 0x3C, 0x64, 0x00643C91},
    {"all bits set leaves the top byte clear", 0xFF, 0xFF, 0xFF, 0x00FFFFFF},
    {"note off 0 velocity 0", 0x80, 0x00, 0x00, 0x00000080},
};

TEST(MidiMessage, PackingPutsStatusAndDataInTheLowThreeBytes)
{
    for (const PackCase& c : kPackCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PackShortMessage(c.status, c.data1, c.data2), c.word);
        const MidiInputEvent event = UnpackShortMessage(c.word, 0);
        EXPECT_EQ(event.status, c.status);
        EXPECT_EQ(event.data1, c.data1);
        EXPECT_EQ(event.data2, c.data2);
    }
}

TEST(MidiMessage, UnpackingIgnoresTheTopByteAndKeepsTheTimestamp)
{
    const MidiInputEvent event = UnpackShortMessage(0xAB643C91, 0xFFFFFFFE);
    EXPECT_EQ(event.status, 0x91);
    EXPECT_EQ(event.data1, 0x3C);
    EXPECT_EQ(event.data2, 0x64);
    EXPECT_EQ(event.timestamp, 0xFFFFFFFEu);
}

struct StatusCase {
    std::uint8_t kind;
    std::int32_t channel;
    std::uint8_t status;
};

TEST(MidiMessage, ChannelStatusUsesOnlyTheLowFourBitsOfTheChannel)
{
    const StatusCase cases[] = {
        {kNoteOff, 0, 0x80},        {kNoteOn, 15, 0x9F},         {kControlChange, 9, 0xB9},
        {kProgramChange, 3, 0xC3},  {kControlChange, 16, 0xB0},  {kNoteOn, -1, 0x9F},
        {kProgramChange, 0x7FFFFFFF, 0xCF},
        // A received status whose channel nibble is set still yields the new channel.
        {0x9B, 2, 0x92},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " channel " << c.channel);
        EXPECT_EQ(ChannelStatus(c.kind, c.channel), c.status);
    }
}

struct TextCase {
    std::uint32_t code;
    const char* text;
};

TEST(MidiErrorText, EachPlatformCodeHasItsTextAndAllOthersAreUnknown)
{
    const TextCase cases[] = {
        {0, "No Error"},
        {1, "Unknown Error"},
        {2, "The specified device identifier is out of range"},
        {3, "Unknown Error"},
        {4, "The specified resource is already allocated"},
        {5, "The specified device handle is invalid"},
        {6, "Unknown Error"},
        {7, "The system is unable to allocate or lock memory"},
        {8, "Unknown Error"},
        {9, "Unknown Error"},
        {10, "The flags specified by dwFlags are invalid"},
        {11, "The specified pointer or structure is invalid"},
        {12, "Unknown Error"},
        {65, "Unknown Error"},   // a MIDI-specific error (still playing)
        {0xFFFFFFFF, "Unknown Error"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code);
        EXPECT_STREQ(MidiErrorText(c.code), c.text);
    }
}

} // namespace
