#include "midi/PreviewForwarder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

constexpr std::optional<std::uint32_t> kNothing = std::nullopt;

struct RewriteCase {
    const char* name;
    bool playable;
    std::int32_t channel;
    std::int32_t octave;
    std::uint32_t in;                 // as the platform packs it
    std::optional<std::uint32_t> out; // the word sent, or nothing
};

// Words read from the low byte up: status, note, velocity.
const RewriteCase kRewriteCases[] = {
    {"note-on moves to the preview channel", true, 3, 0, 0x00643C90, 0x00643C93},
    {"note-on from the last input channel", true, 0, 0, 0x00643C9F, 0x00643C90},
    {"top byte of the input word ignored", true, 0, 0, 0xAB643C91, 0x00643C90},
    {"velocity 127 unchanged", true, 15, 0, 0x007F0091, 0x007F009F},
    {"velocity 1 is still a note-on", false, 0, 0, 0x00013C90, kNothing},
    {"note-on dropped while nothing playable is selected", false, 3, 0, 0x00643C90, kNothing},
    {"note-off passes while nothing playable is selected", false, 5, 0, 0x00403C81, 0x00403C85},
    {"note-off passes while playable", true, 5, 0, 0x00403C81, 0x00403C85},
    {"note-on velocity 0 passes unplayable and keeps its status", false, 2, 0, 0x00003C90,
     0x00003C92},
    {"note 60 up one octave is 72", true, 0, 1, 0x00643C90, 0x00644890},
    {"note 120 up two octaves is limited to 127", true, 0, 2, 0x00647890, 0x00647F90},
    {"note 50 down nine octaves is limited to 0", true, 0, -9, 0x00643290, 0x00640090},
    {"note-off moves by the octave too", false, 9, -1, 0x00003C80, 0x00003089},
    {"note 127 up nine octaves", true, 0, 9, 0x00647F90, 0x00647F90},
    {"note 0 down one octave", true, 0, -1, 0x00640090, 0x00640090},
    {"a note byte above 127 is limited to 127", true, 0, 0, 0x0064C890, 0x00647F90},
    {"channel above 15 keeps its low four bits", true, 18, 0, 0x00643C90, 0x00643C92},
    {"negative channel keeps its low four bits", true, -1, 0, 0x00643C90, 0x00643C9F},
    {"an offset of 30 octaves lifts note 0 to 127", true, 0, 30, 0x00640090, 0x00647F90},
    {"an offset of -100 octaves drops note 127 to 0", true, 0, -100, 0x00647F90, 0x00640090},
    {"an offset of 11 octaves lifts note 0 to 127", true, 0, 11, 0x00640090, 0x00647F90},
    {"an offset of -21 octaves keeps note 255 above 0", true, 0, -21, 0x0064FF90, 0x00640390},
    {"poly pressure dropped", true, 0, 0, 0x00403CA0, kNothing},
    {"controller dropped", true, 0, 0, 0x005A07B0, kNothing},
    {"program change dropped", true, 0, 0, 0x000005C0, kNothing},
    {"channel pressure dropped", true, 0, 0, 0x000040D0, kNothing},
    {"pitch bend dropped", true, 0, 0, 0x004000E0, kNothing},
    {"system exclusive start dropped", true, 0, 0, 0x000000F0, kNothing},
    {"timing clock dropped", true, 0, 0, 0x000000F8, kNothing},
    {"reset dropped", true, 0, 0, 0x000000FF, kNothing},
    {"a data byte in the status place dropped", true, 0, 0, 0x00643C3C, kNothing},
};

TEST(PreviewForwarder, RewritesNotesAndDropsEverythingElse)
{
    for (const RewriteCase& c : kRewriteCases) {
        SCOPED_TRACE(c.name);
        CPreviewForwarder forwarder;
        forwarder.SetPlayableSelected(c.playable);
        forwarder.SetChannel(c.channel);
        forwarder.SetOctave(c.octave);
        const std::optional<MidiShortMessage> out =
            forwarder.Rewrite(UnpackShortMessage(c.in, 1234));
        ASSERT_EQ(out.has_value(), c.out.has_value());
        if (out) {
            EXPECT_EQ(out->Packed(), *c.out)
                << std::hex << "sent 0x" << out->Packed() << ", expected 0x" << *c.out;
        }
    }
}

TEST(PreviewForwarder, NotesPlayedInTheWindowKeepTheirKeyButFollowTheOtherRules)
{
    CPreviewForwarder forwarder;
    forwarder.SetRouting({true, 4, 3});
    const struct {
        const char* name;
        bool playable;
        std::uint32_t in;
        std::optional<std::uint32_t> out;
    } cases[] = {
        {"note-on keeps its key, moves to the channel", true, 0x00643C90, 0x00643C94},
        {"note-off keeps its key", true, 0x00003C80, 0x00003C84},
        {"note-on held back while nothing playable", false, 0x00643C90, kNothing},
        {"note-off passes while nothing playable", false, 0x00003C80, 0x00003C84},
    };
    for (const auto& c : cases) {
        forwarder.SetPlayableSelected(c.playable);
        const std::optional<MidiShortMessage> out = forwarder.RewritePlayed(UnpackShortMessage(c.in, 0));
        const std::optional<std::uint32_t> word = out ? std::optional<std::uint32_t>(out->Packed()) : kNothing;
        EXPECT_EQ(word, c.out) << c.name;
    }
}

TEST(PreviewForwarder, StartsWithNothingPlayableOnChannel0AtOctave0)
{
    CPreviewForwarder forwarder;
    const PreviewRouting routing = forwarder.Routing();
    EXPECT_FALSE(routing.playableSelected);
    EXPECT_EQ(routing.channel, 0);
    EXPECT_EQ(routing.octave, 0);
    EXPECT_FALSE(forwarder.Rewrite(UnpackShortMessage(0x00643C95, 0)));
    ASSERT_TRUE(forwarder.Rewrite(UnpackShortMessage(0x00003C85, 0)));
    EXPECT_EQ(forwarder.Rewrite(UnpackShortMessage(0x00003C85, 0))->Packed(), 0x00003C80u);
}

TEST(PreviewForwarder, EachSetterChangesOnlyItsOwnSetting)
{
    CPreviewForwarder forwarder;
    forwarder.SetOctave(-9);
    forwarder.SetChannel(12);
    forwarder.SetPlayableSelected(true);
    PreviewRouting routing = forwarder.Routing();
    EXPECT_TRUE(routing.playableSelected);
    EXPECT_EQ(routing.channel, 12);
    EXPECT_EQ(routing.octave, -9);

    forwarder.SetChannel(4);
    forwarder.SetOctave(9);
    forwarder.SetPlayableSelected(false);
    routing = forwarder.Routing();
    EXPECT_FALSE(routing.playableSelected);
    EXPECT_EQ(routing.channel, 4);
    EXPECT_EQ(routing.octave, 9);
}

} // namespace
