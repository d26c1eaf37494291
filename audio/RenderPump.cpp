#include "audio/RenderPump.h"

#include <algorithm>

RenderPump::RenderPump(RenderCallback callback, const DeviceFormat& format, size_t chunkFrames)
    : callback_(std::move(callback)),
      format_(format),
      scratch_(2 * std::max<size_t>(chunkFrames, 1)),
      chunkFrames_(std::max<size_t>(chunkFrames, 1)) {}

void RenderPump::Fill(void* out, size_t frames) {
  unsigned char* at = static_cast<unsigned char*>(out);
  size_t frameBytes = BytesPerFrame(format_);
  while (frames > 0) {
    size_t chunk = std::min(frames, chunkFrames_);
    std::fill(scratch_.begin(), scratch_.begin() + 2 * chunk, 0.0f);
    callback_(scratch_.data(), chunk);
    ConvertStereo(scratch_.data(), chunk, format_, at);
    at += chunk * frameBytes;
    frames -= chunk;
    framesRendered_ += chunk;
  }
}

void RenderPump::FillBytes(void* out, size_t bytes) {
  Fill(out, bytes / BytesPerFrame(format_));
}
