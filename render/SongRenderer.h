#pragma once
// Renders a song through a sound source into a sink: each event is applied at its own sample
// frame (the sound is rendered up to the event's frame, the event posted, and rendering goes
// on), and after the song's end the sound is rendered on until it has died away: until it has
// stayed below -90 dBFS for 200 ms, or for at most 5 s after the end (a note left sounding).

#include "render/FrameSink.h"
#include "render/SoundSource.h"
#include "song/Song.h"

#include <array>
#include <cstdint>

struct RenderTail {
    // About -90 dBFS: below the least step of a 16-bit file.
    float silentLevel = 3.1623e-5f;
    double silentSeconds = 0.2;
    double maxSeconds = 5.0;
};

struct RenderOutcome {
    std::uint64_t frames = 0;
    // Messages the source would not take even after the queue was emptied by a render.
    std::uint64_t refusedMessages = 0;
    bool sinkFailed = false;
};

// The frame at which an event at `seconds` is applied: the nearest one.
std::uint64_t FrameOf(double seconds, double sampleRate);

class CSongRenderer {
public:
    static constexpr std::size_t kBlockFrames = 256;

    CSongRenderer(ISoundSource& source, double sampleRate, RenderTail tail = RenderTail())
        : m_source(source), m_sampleRate(sampleRate), m_tail(tail)
    {
    }

    // Allocates nothing: the render and event paths of a real-time player could take it as it is.
    RenderOutcome Render(const Song& song, IFrameSink& sink);

private:
    bool RenderUntil(std::uint64_t frame, IFrameSink& sink);
    bool RenderBlock(std::size_t frames, IFrameSink& sink);
    bool IsSilent(std::size_t frame) const;
    void Post(std::uint32_t message);
    bool RenderTailOut(IFrameSink& sink);

    ISoundSource& m_source;
    double m_sampleRate;
    RenderTail m_tail;
    RenderOutcome m_outcome;
    std::size_t m_silentAtEnd = 0; // frames of the last block, counted back from its end
    std::array<float, 2 * kBlockFrames> m_block{};
};
