#include "render/SongRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A stand-in for the synthesizer: a queue of limited size, applied at the start of the next
// render, and a sound that is a function of the frame.
class RecordingSource : public ISoundSource {
public:
    RecordingSource(std::size_t queueSize, std::function<float(std::uint64_t)> sound)
        : m_queueSize(queueSize), m_sound(std::move(sound))
    {
    }

    bool PostShortMessage(std::uint32_t message) override
    {
        if (m_queued.size() >= m_queueSize)
            return false;
        m_queued.push_back(message);
        return true;
    }

    void Render(float* stereo, std::size_t frames) override
    {
        for (std::uint32_t message : m_queued)
            applied.push_back(std::to_string(message) + "@" + std::to_string(m_frame));
        m_queued.clear();
        for (std::size_t i = 0; i < frames; ++i, ++m_frame)
            stereo[2 * i] = stereo[2 * i + 1] = m_sound(m_frame);
    }

    std::vector<std::string> applied; // "message@frame"

private:
    std::size_t m_queueSize;
    std::function<float(std::uint64_t)> m_sound;
    std::vector<std::uint32_t> m_queued;
    std::uint64_t m_frame = 0;
};

class CountingSink : public IFrameSink {
public:
    explicit CountingSink(std::uint64_t failAfter = ~0ull) : m_failAfter(failAfter) {}
    bool Write(const float*, std::size_t count) override
    {
        if (frames + count > m_failAfter)
            return false;
        frames += count;
        return true;
    }
    std::uint64_t frames = 0;

private:
    std::uint64_t m_failAfter;
};

// At 1,000 frames a second a frame is a millisecond: 200 frames of silence end the tail, and
// 5,000 at most follow the song's end.
constexpr double kRate = 1000;

Song SongOf(std::vector<SongEvent> events, double length)
{
    Song song;
    song.events = std::move(events);
    song.lengthSeconds = length;
    return song;
}

float Silent(std::uint64_t) { return 0; }

struct Case {
    const char* name;
    Song song;
    std::size_t queueSize;
    std::function<float(std::uint64_t)> sound;
    std::vector<std::string> applied;
    std::uint64_t frames;
};

std::vector<Case> Cases()
{
    return {
        {"each event at its nearest frame; the tail is 200 ms of silence after the end",
         SongOf({{0, 1}, {0.0104, 2}, {0.0106, 3}, {0.5, 4}}, 0.75), 64, Silent,
         {"1@0", "2@10", "3@11", "4@500"}, 950},
        {"events past the song's stated end still play", SongOf({{0.3, 1}}, 0.1), 64, Silent, {"1@300"}, 500},
        {"a full queue is emptied by a render of no frames: every event at its frame",
         SongOf({{0.1, 1}, {0.1, 2}, {0.1, 3}, {0.1, 4}, {0.1, 5}}, 0.1), 2, Silent,
         {"1@100", "2@100", "3@100", "4@100", "5@100"}, 300},
        {"sound until frame 1234 after an end at 1000: silence from there on",
         SongOf({{0, 1}}, 1.0), 64, [](std::uint64_t f) { return f < 1234 ? 0.5f : 0.0f; }, {"1@0"}, 1434},
        {"sound just above -90 dBFS keeps the tail going until its 5 s bound",
         SongOf({{0, 1}}, 1.0), 64, [](std::uint64_t) { return 3.2e-5f; }, {"1@0"}, 6000},
        {"sound just below -90 dBFS counts as silence", SongOf({}, 1.0), 64, [](std::uint64_t) { return -3.1e-5f; },
         {}, 1200},
    };
}

TEST(SongRendererTest, AppliesEventsAtTheirFramesAndRendersTheTail)
{
    for (const Case& c : Cases()) {
        RecordingSource source(c.queueSize, c.sound);
        CountingSink sink;
        const RenderOutcome outcome = CSongRenderer(source, kRate).Render(c.song, sink);
        EXPECT_EQ(source.applied, c.applied) << c.name;
        EXPECT_EQ(outcome.frames, c.frames) << c.name;
        EXPECT_EQ(sink.frames, c.frames) << c.name;
        EXPECT_EQ(outcome.refusedMessages, 0u) << c.name;
        EXPECT_FALSE(outcome.sinkFailed) << c.name;
    }
}

TEST(SongRendererTest, StopsWhenTheSinkFails)
{
    RecordingSource source(64, Silent);
    CountingSink sink(1000);
    const RenderOutcome outcome = CSongRenderer(source, kRate).Render(SongOf({{0, 1}, {5.0, 2}}, 5.0), sink);
    EXPECT_TRUE(outcome.sinkFailed);
    EXPECT_EQ(source.applied, std::vector<std::string>{"1@0"});
    EXPECT_LT(outcome.frames, 1000u + CSongRenderer::kBlockFrames);
}

TEST(SongRendererTest, CountsMessagesTheSourceRefuses)
{
    RecordingSource source(0, Silent);
    CountingSink sink;
    const RenderOutcome outcome = CSongRenderer(source, kRate).Render(SongOf({{0, 1}, {0.1, 2}}, 0.1), sink);
    EXPECT_EQ(outcome.refusedMessages, 2u);
    EXPECT_EQ(outcome.frames, 300u);
}

} // namespace
