#include "render/WaveFileWriter.h"

#include "sf2/Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kChannels = 2;
// RIFF header, "fmt " chunk of 16 bytes, "data" header.
constexpr std::uint32_t kPcmHeaderBytes = 12 + 8 + 16 + 8;
// A float file's "fmt " chunk has the 2-byte extension size, and a "fact" chunk with the frames.
constexpr std::uint32_t kFloatHeaderBytes = 12 + 8 + 18 + 8 + 4 + 8;

std::uint32_t HeaderBytes(WaveSampleFormat format)
{
    return format == WaveSampleFormat::Pcm16 ? kPcmHeaderBytes : kFloatHeaderBytes;
}

void PutU16(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    PutU16(bytes, value & 0xFFFF);
    PutU16(bytes, value >> 16);
}

void PutText(std::vector<std::uint8_t>& bytes, const char* fourCC)
{
    bytes.insert(bytes.end(), fourCC, fourCC + 4);
}

std::FILE* OpenForWriting(const std::string& path)
{
#ifdef _WIN32
    std::u16string wide;
    if (!Utf8ToUtf16(path, wide))
        return std::fopen(path.c_str(), "wb"); // not UTF-8: a path in the ANSI code page
    return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

std::int16_t ToPcm16(float sample)
{
    const float clipped = std::min(1.0f, std::max(-1.0f, sample));
    return static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
}

} // namespace

std::uint32_t WaveBytesPerFrame(WaveSampleFormat format)
{
    return format == WaveSampleFormat::Pcm16 ? 2 * kChannels : 4 * kChannels;
}

bool FitsWaveFile(std::uint64_t dataBytes, WaveSampleFormat format)
{
    // The RIFF size counts everything after its own field.
    return dataBytes + HeaderBytes(format) - 8 <= 0xFFFFFFFFull;
}

CWaveFileWriter::~CWaveFileWriter()
{
    if (m_file)
        std::fclose(m_file);
}

bool CWaveFileWriter::Fail(const std::string& what)
{
    if (m_error.empty())
        m_error = what + " " + m_path;
    return false;
}

bool CWaveFileWriter::Open(const std::string& utf8Path, std::uint32_t sampleRate, WaveSampleFormat format)
{
    m_path = utf8Path;
    m_sampleRate = sampleRate;
    m_format = format;
    m_frames = 0;
    m_error.clear();
    m_file = OpenForWriting(utf8Path);
    if (!m_file)
        return Fail("cannot create the wave file");
    return WriteHeader();
}

bool CWaveFileWriter::WriteHeader()
{
    const std::uint32_t bytesPerFrame = WaveBytesPerFrame(m_format);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(m_frames * bytesPerFrame);
    const bool pcm = m_format == WaveSampleFormat::Pcm16;
    std::vector<std::uint8_t> header;
    PutText(header, "RIFF");
    PutU32(header, HeaderBytes(m_format) - 8 + dataBytes);
    PutText(header, "WAVE");
    PutText(header, "fmt ");
    PutU32(header, pcm ? 16 : 18);
    PutU16(header, pcm ? kFormatPcm : kFormatFloat);
    PutU16(header, kChannels);
    PutU32(header, m_sampleRate);
    PutU32(header, m_sampleRate * bytesPerFrame);
    PutU16(header, bytesPerFrame);
    PutU16(header, bytesPerFrame / kChannels * 8);
    if (!pcm) {
        PutU16(header, 0); // no extension
        PutText(header, "fact");
        PutU32(header, 4);
        PutU32(header, static_cast<std::uint32_t>(m_frames));
    }
    PutText(header, "data");
    PutU32(header, dataBytes);
    if (std::fseek(m_file, 0, SEEK_SET) != 0 || std::fwrite(header.data(), 1, header.size(), m_file) != header.size())
        return Fail("cannot write the wave file");
    return true;
}

bool CWaveFileWriter::Write(const float* stereo, std::size_t frames)
{
    if (!m_file)
        return Fail("the wave file is not open:");
    const std::uint32_t bytesPerFrame = WaveBytesPerFrame(m_format);
    if (!FitsWaveFile((m_frames + frames) * bytesPerFrame, m_format))
        return Fail("the sound would pass the 4 GB a wave file can hold:");
    const std::size_t framesPerBuffer = m_buffer.size() / bytesPerFrame;
    for (std::size_t done = 0; done < frames;) {
        const std::size_t count = std::min(framesPerBuffer, frames - done);
        const float* samples = stereo + done * kChannels;
        for (std::size_t i = 0; i < count * kChannels; ++i) {
            if (m_format == WaveSampleFormat::Pcm16) {
                const std::uint16_t value = static_cast<std::uint16_t>(ToPcm16(samples[i]));
                m_buffer[2 * i] = static_cast<std::uint8_t>(value);
                m_buffer[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
            } else {
                std::uint32_t bits;
                std::memcpy(&bits, &samples[i], 4);
                for (int b = 0; b < 4; ++b)
                    m_buffer[4 * i + b] = static_cast<std::uint8_t>(bits >> (8 * b));
            }
        }
        if (std::fwrite(m_buffer.data(), bytesPerFrame, count, m_file) != count)
            return Fail("cannot write the wave file (is the disk full?)");
        done += count;
        m_frames += count;
    }
    return true;
}

bool CWaveFileWriter::Finish()
{
    if (!m_file)
        return Fail("the wave file is not open:");
    const bool written = WriteHeader();
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!closed)
        return Fail("cannot write the wave file (is the disk full?)");
    return written;
}
