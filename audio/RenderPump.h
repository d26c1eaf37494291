#pragma once
// Fills a device's buffer from the render callback: the callback renders float stereo into a
// scratch buffer made once, at open, and the pump converts it into the device's format. Nothing
// is allocated per buffer.
#include <cstddef>
#include <functional>
#include <vector>

#include "audio/DeviceFormat.h"
#include "audio/FirstSoundWatch.h"

// Called on the audio thread with room for frames of interleaved stereo to fill. It must not
// allocate, nor wait on the window's thread.
using RenderCallback = std::function<void(float* stereo, size_t frames)>;

class CRenderPump {
public:
    // chunkFrames: the most frames the callback is asked for at once; a larger device buffer is
    // filled in several calls. watch, where given, sees every block rendered and must outlive
    // the pump.
    CRenderPump(RenderCallback callback, const DeviceFormat& format, size_t chunkFrames,
        CFirstSoundWatch* watch = nullptr);
    CRenderPump(const CRenderPump&) = delete;
    CRenderPump& operator=(const CRenderPump&) = delete;

    void Fill(void* out, size_t frames);
    // Fills the room in bytes (as a locked DirectSound region gives it), whole frames only.
    void FillBytes(void* out, size_t bytes);

    const DeviceFormat& Format() const { return m_format; }
    size_t FramesRendered() const { return m_framesRendered; }

private:
    RenderCallback m_callback;
    DeviceFormat m_format;
    std::vector<float> m_scratch;
    size_t m_chunkFrames;
    CFirstSoundWatch* m_watch;
    size_t m_framesRendered = 0;
};
