#include "audio/RenderPump.h"

#include <algorithm>

CRenderPump::CRenderPump(
    RenderCallback callback, const DeviceFormat& format, size_t chunkFrames, CFirstSoundWatch* watch)
    : m_callback(std::move(callback))
    , m_format(format)
    , m_scratch(2 * std::max<size_t>(chunkFrames, 1))
    , m_chunkFrames(std::max<size_t>(chunkFrames, 1))
    , m_watch(watch)
{
}

void CRenderPump::Fill(void* out, size_t frames)
{
    unsigned char* at = static_cast<unsigned char*>(out);
    size_t frameBytes = BytesPerFrame(m_format);
    while (frames > 0) {
        size_t chunk = std::min(frames, m_chunkFrames);
        std::fill(m_scratch.begin(), m_scratch.begin() + 2 * chunk, 0.0f);
        m_callback(m_scratch.data(), chunk);
        if (m_watch)
            m_watch->Scan(m_scratch.data(), chunk);
        ConvertStereo(m_scratch.data(), chunk, m_format, at);
        at += chunk * frameBytes;
        frames -= chunk;
        m_framesRendered += chunk;
    }
}

void CRenderPump::FillBytes(void* out, size_t bytes)
{
    Fill(out, bytes / BytesPerFrame(m_format));
}
