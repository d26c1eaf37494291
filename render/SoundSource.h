#pragma once
// What the song renderer plays through: the synthesizer's two calls, behind an interface so
// that the renderer's timing can be checked against a recording stand-in.

#include <cstddef>
#include <cstdint>

class ISoundSource {
public:
    virtual ~ISoundSource() = default;
    // False when the message could not be queued; applied at the start of the next Render.
    virtual bool PostShortMessage(std::uint32_t message) = 0;
    virtual void Render(float* stereo, std::size_t frames) = 0;
};
