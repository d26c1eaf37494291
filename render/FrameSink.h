#pragma once
// Where rendered sound goes: interleaved stereo float frames, block by block.

#include <cstddef>

class IFrameSink {
public:
    virtual ~IFrameSink() = default;
    // False when the frames could not be taken (the disk is full); rendering then stops.
    virtual bool Write(const float* stereo, std::size_t frames) = 0;
};
