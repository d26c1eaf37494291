// The software card's MIDI outputs: a note sent to an output is heard from its device's
// synthesizer, closing the last open releases the notes, and ids, opens and a full queue
// answer with winmm's codes.

#include "midi/SoftMidiTable.h"
#include "softcard/SoftCard.h"
#include "softcard/SoftMidiOutputs.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/softcard/SoftCardSound.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t kNoteOn60 = 0x90 | 60 << 8 | 100 << 16;

class SoftMidiOutputsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FixtureSoundFont font;
        font.presets = {{"Violin", 0, 0, 500}};
        font.audible = true;
        WriteSoundFont(m_file, font);
        ASSERT_EQ(m_card.Open(1), kSfmSuccess);
        ASSERT_EQ(m_card.LoadBank(1, 1, m_file), kSfmSuccess);
    }

    double Listen(std::uint32_t device)
    {
        RenderLevelDb(m_card.Synthesizer(device), 0.1);
        return RenderLevelDb(m_card.Synthesizer(device), 0.1);
    }

    CSoftCard m_card{DrySynthConfig()};
    CSoftMidiOutputs m_outputs{m_card};
    std::string m_file = FreshFolder("softmidi") + "Violin.sf2";
};

TEST_F(SoftMidiOutputsTest, ANoteSentToAnOutputIsHeardFromItsDeviceOnly)
{
    ASSERT_EQ(m_outputs.Open(1), kSoftMidiOk);
    EXPECT_EQ(m_outputs.Send(1, 0xB0 | 0 << 8 | 1 << 16), kSoftMidiOk);
    EXPECT_EQ(m_outputs.Send(1, 0xC0), kSoftMidiOk);
    EXPECT_EQ(m_outputs.Send(1, kNoteOn60), kSoftMidiOk);
    EXPECT_GT(Listen(1), -60);
    EXPECT_LT(Listen(0), -90);
}

TEST_F(SoftMidiOutputsTest, TheLastCloseReleasesTheNotesAnEarlierOneDoesNot)
{
    ASSERT_EQ(m_outputs.Open(1), kSoftMidiOk);
    ASSERT_EQ(m_outputs.Open(1), kSoftMidiOk);
    m_outputs.Send(1, 0xB0 | 0 << 8 | 1 << 16);
    m_outputs.Send(1, 0xC0);
    m_outputs.Send(1, kNoteOn60);
    ASSERT_EQ(m_outputs.Close(1), kSoftMidiOk);
    EXPECT_GT(Listen(1), -60) << "another open still plays";
    ASSERT_EQ(m_outputs.Close(1), kSoftMidiOk);
    RenderLevelDb(m_card.Synthesizer(1), 1.0);
    EXPECT_LT(Listen(1), -90);
}

TEST_F(SoftMidiOutputsTest, FailuresAnswerWithWinmmCodes)
{
    struct Case {
        const char* name;
        std::int32_t result;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"open of an output past the devices", m_outputs.Open(2), kSoftMidiBadDeviceId},
        {"send to an output never opened", m_outputs.Send(0, kNoteOn60), kSoftMidiInvalidHandle},
        {"send past every device", m_outputs.Send(1000, kNoteOn60), kSoftMidiBadDeviceId},
        {"close of an output never opened", m_outputs.Close(0), kSoftMidiInvalidHandle},
        {"close past the devices", m_outputs.Close(5), kSoftMidiBadDeviceId},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, c.expected) << c.name;
}

TEST_F(SoftMidiOutputsTest, AFullQueueSaysNotReadyInsteadOfWaiting)
{
    ASSERT_EQ(m_outputs.Open(0), kSoftMidiOk);
    std::int32_t result = kSoftMidiOk;
    int sent = 0;
    for (; sent < 100000 && result == kSoftMidiOk; ++sent)
        result = m_outputs.Send(0, 0xF8);
    EXPECT_EQ(result, kSoftMidiNotReady) << "after " << sent << " messages";
    RenderLevelDb(m_card.Synthesizer(0), 0.01);
    EXPECT_EQ(m_outputs.Send(0, 0xF8), kSoftMidiOk) << "rendering empties the queue";
}

// As in the program: notes from the MIDI input's thread, rendering on the audio thread, and
// loads and clears from the window's thread, all at once.
TEST_F(SoftMidiOutputsTest, NotesAndRenderingGoOnWhileBanksAreLoadedAndCleared)
{
    ASSERT_EQ(m_outputs.Open(1), kSoftMidiOk);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> block(2 * 256);
        while (!done)
            m_card.Synthesizer(1).Render(block.data(), 256);
    });
    std::atomic<int> refused{0};
    std::thread input([&] {
        for (int note = 0; !done; note = (note + 1) % 128) {
            if (m_outputs.Send(1, 0x90 | note << 8 | 100 << 16) != kSoftMidiOk ||
                m_outputs.Send(1, 0x80 | note << 8) != kSoftMidiOk)
                ++refused;
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 20; ++round) {
        EXPECT_EQ(m_card.LoadBank(1, 2, m_file), kSfmSuccess) << round;
        EXPECT_EQ(m_card.ClearBank(1, 1), kSfmSuccess) << round;
        EXPECT_EQ(m_card.LoadBank(1, 1, m_file), kSfmSuccess) << round;
        EXPECT_EQ(m_card.ClearBank(1, 2), kSfmSuccess) << round;
    }
    done = true;
    audio.join();
    input.join();
    EXPECT_EQ(m_outputs.Close(1), kSoftMidiOk);
    // Refusals only say the queue was full, never wait: what counts is that nothing broke.
    SUCCEED() << refused << " messages found the queue full";
}

} // namespace
