#pragma once
// Writes a stereo wave file (RIFF WAVE) of 16-bit PCM or 32-bit float samples, frame blocks at
// a time, with the sizes in its header filled in when it is finished. A wave file's sizes are
// 32-bit: the writer refuses to pass 4 GB instead of writing a file no player can read.

#include "render/FrameSink.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

enum class WaveSampleFormat { Pcm16, Float32 };

// Whether `dataBytes` of samples fit a wave file of that format with its header.
bool FitsWaveFile(std::uint64_t dataBytes, WaveSampleFormat format);
std::uint32_t WaveBytesPerFrame(WaveSampleFormat format);

class CWaveFileWriter : public IFrameSink {
public:
    CWaveFileWriter() = default;
    ~CWaveFileWriter() override;
    CWaveFileWriter(const CWaveFileWriter&) = delete;
    CWaveFileWriter& operator=(const CWaveFileWriter&) = delete;

    // Creates or replaces the file at the UTF-8 path and writes a header for no samples yet.
    bool Open(const std::string& utf8Path, std::uint32_t sampleRate, WaveSampleFormat format);
    // Samples beyond [-1, 1] are clipped in a 16-bit file.
    bool Write(const float* stereo, std::size_t frames) override;
    // Writes the sizes into the header and closes the file.
    bool Finish();

    // What went wrong, in one line naming the file.
    const std::string& Error() const { return m_error; }
    std::uint64_t FramesWritten() const { return m_frames; }

private:
    bool WriteHeader();
    bool Fail(const std::string& what);

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::uint32_t m_sampleRate = 0;
    WaveSampleFormat m_format = WaveSampleFormat::Pcm16;
    std::uint64_t m_frames = 0;
    std::string m_error;
    std::array<std::uint8_t, 8192> m_buffer{}; // samples converted here, so that writing allocates nothing
};
