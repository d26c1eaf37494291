#include "render/SongRenderer.h"

#include <algorithm>
#include <cmath>

std::uint64_t FrameOf(double seconds, double sampleRate)
{
    return static_cast<std::uint64_t>(std::llround(std::max(0.0, seconds) * sampleRate));
}

RenderOutcome CSongRenderer::Render(const Song& song, IFrameSink& sink)
{
    m_outcome = RenderOutcome();
    for (const SongEvent& event : song.events) {
        if (!RenderUntil(FrameOf(event.seconds, m_sampleRate), sink))
            return m_outcome;
        Post(event.message);
    }
    if (RenderUntil(FrameOf(song.lengthSeconds, m_sampleRate), sink))
        RenderTailOut(sink);
    return m_outcome;
}

bool CSongRenderer::RenderUntil(std::uint64_t frame, IFrameSink& sink)
{
    while (m_outcome.frames < frame) {
        const std::uint64_t left = frame - m_outcome.frames;
        if (!RenderBlock(static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlockFrames)), sink))
            return false;
    }
    return true;
}

bool CSongRenderer::IsSilent(std::size_t frame) const
{
    return std::fabs(m_block[2 * frame]) < m_tail.silentLevel && std::fabs(m_block[2 * frame + 1]) < m_tail.silentLevel;
}

bool CSongRenderer::RenderBlock(std::size_t frames, IFrameSink& sink)
{
    m_source.Render(m_block.data(), frames);
    m_silentAtEnd = 0;
    while (m_silentAtEnd < frames && IsSilent(frames - 1 - m_silentAtEnd))
        ++m_silentAtEnd;
    m_outcome.frames += frames;
    if (sink.Write(m_block.data(), frames))
        return true;
    m_outcome.sinkFailed = true;
    return false;
}

// A full queue is emptied by a render of no frames, which applies what it holds; the message
// then goes in at the same frame.
void CSongRenderer::Post(std::uint32_t message)
{
    if (m_source.PostShortMessage(message))
        return;
    m_source.Render(m_block.data(), 0);
    if (!m_source.PostShortMessage(message))
        ++m_outcome.refusedMessages;
}

bool CSongRenderer::RenderTailOut(IFrameSink& sink)
{
    const std::uint64_t silentFrames = FrameOf(m_tail.silentSeconds, m_sampleRate);
    const std::uint64_t lastFrame = m_outcome.frames + FrameOf(m_tail.maxSeconds, m_sampleRate);
    std::uint64_t silentSoFar = 0;
    while (silentSoFar < silentFrames && m_outcome.frames < lastFrame) {
        // Blocks end where the silence would be long enough: the tail is exact to the frame.
        const std::uint64_t frames =
            std::min({lastFrame - m_outcome.frames, std::uint64_t{kBlockFrames}, silentFrames - silentSoFar});
        if (!RenderBlock(static_cast<std::size_t>(frames), sink))
            return false;
        silentSoFar = m_silentAtEnd == frames ? silentSoFar + frames : m_silentAtEnd;
    }
    return true;
}
