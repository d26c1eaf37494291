#include "audio/WaveOutOutput.h"

#include <chrono>

#include "audio/WasapiOutput.h"

namespace {

constexpr unsigned kFallbackRate = 44100;
constexpr DWORD kDeviceSilenceMs = 2000;

} // namespace

CWaveOutOutput::CWaveOutOutput()
    : CAudioBackend(AudioApi::WaveOut)
{
}

CWaveOutOutput::~CWaveOutOutput()
{
    Close();
}

std::string CWaveOutOutput::SaysError(const char* call, MMRESULT result) const
{
    char text[MAXERRORLENGTH] = "";
    waveOutGetErrorTextA(result, text, sizeof text);
    return Says(std::string(call) + " failed (" + std::to_string(result) + ": " + text + ")");
}

bool CWaveOutOutput::OpenDevice(const AudioRequest& request, std::string* error)
{
    if (waveOutGetNumDevs() == 0) {
        *error = Says("no audio output device (waveOutGetNumDevs is 0)");
        return false;
    }
    unsigned rate = WasapiMixRate();
    m_info.format = DeviceFormat {SampleKind::Int16, 2, rate ? rate : kFallbackRate};
    m_info.periodFrames =
        FramesForMs(m_info.format.rate, (ClampBufferMs(request.bufferMs) + kRingLength - 1) / kRingLength);
    m_info.bufferFrames = kRingLength * m_info.periodFrames;
    m_info.latencyMs = MsOfFrames(m_info.format.rate, m_info.bufferFrames);

    DWORD frameBytes = static_cast<DWORD>(BytesPerFrame(m_info.format));
    WAVEFORMATEX wave {WAVE_FORMAT_PCM, 2, m_info.format.rate, m_info.format.rate * frameBytes,
        static_cast<WORD>(frameBytes), 16, 0};
    m_done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_done) {
        *error = Says("no event could be made");
        return false;
    }
    MMRESULT result =
        waveOutOpen(&m_wave, WAVE_MAPPER, &wave, reinterpret_cast<DWORD_PTR>(m_done), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        m_wave = nullptr;
        *error = SaysError("waveOutOpen", result) + " for " + DescribeFormat(m_info.format);
        return false;
    }
    waveOutPause(m_wave); // nothing plays until Start
    if (!PrepareRing(error))
        return false;
    MakePump(m_info.periodFrames);
    return true;
}

bool CWaveOutOutput::PrepareRing(std::string* error)
{
    DWORD bytes = m_info.periodFrames * static_cast<DWORD>(BytesPerFrame(m_info.format));
    m_samples.assign(static_cast<size_t>(bytes) * kRingLength, 0);
    for (unsigned index = 0; index < kRingLength; ++index) {
        WAVEHDR& header = m_ring[index];
        header = WAVEHDR {};
        header.lpData = m_samples.data() + static_cast<size_t>(bytes) * index;
        header.dwBufferLength = bytes;
        MMRESULT result = waveOutPrepareHeader(m_wave, &header, sizeof header);
        if (result != MMSYSERR_NOERROR) {
            *error = SaysError("waveOutPrepareHeader", result);
            return false;
        }
        m_prepared[index] = true;
        header.dwFlags |= WHDR_DONE; // free to be filled
    }
    return true;
}

bool CWaveOutOutput::StartDevice(std::string* error)
{
    for (WAVEHDR& header : m_ring) {
        if (!Queue(header)) {
            *error = FailureText();
            return false;
        }
    }
    MMRESULT result = waveOutRestart(m_wave);
    if (result != MMSYSERR_NOERROR) {
        *error = SaysError("waveOutRestart", result);
        return false;
    }
    return true;
}

bool CWaveOutOutput::Queue(WAVEHDR& header)
{
    auto asked = std::chrono::steady_clock::now();
    Pump().Fill(header.lpData, m_info.periodFrames);
    header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    MMRESULT result = waveOutWrite(m_wave, &header, sizeof header);
    if (result != MMSYSERR_NOERROR) {
        header.dwFlags |= WHDR_DONE;
        Fail(SaysError("waveOutWrite", result));
        return false;
    }
    m_stats.RecordBuffer(m_info.periodFrames, std::chrono::steady_clock::now() - asked);
    return true;
}

// Queues again every buffer the driver has played. When all of them had been played, the
// driver ran dry before this refill: it came too late.
bool CWaveOutOutput::RefillPlayed()
{
    unsigned played = 0;
    for (WAVEHDR& header : m_ring)
        played += (header.dwFlags & WHDR_DONE) ? 1 : 0;
    if (played == kRingLength)
        m_stats.RecordLate();
    for (WAVEHDR& header : m_ring) {
        if ((header.dwFlags & WHDR_DONE) && !Queue(header))
            return false;
    }
    return true;
}

void CWaveOutOutput::RunDevice()
{
    HANDLE waits[] = {WakeEvent(), m_done};
    while (!StopRequested()) {
        DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kDeviceSilenceMs);
        if (woke == WAIT_OBJECT_0)
            continue;
        if (woke != WAIT_OBJECT_0 + 1) {
            Fail(Says("the device stopped playing"));
            return;
        }
        if (!RefillPlayed())
            return;
    }
}

void CWaveOutOutput::StopDevice()
{
    // Reset hands every queued buffer back marked done.
    waveOutReset(m_wave);
    waveOutPause(m_wave);
}

void CWaveOutOutput::CloseDevice()
{
    if (m_wave) {
        waveOutReset(m_wave);
        for (unsigned index = 0; index < kRingLength; ++index) {
            if (m_prepared[index])
                waveOutUnprepareHeader(m_wave, &m_ring[index], sizeof m_ring[index]);
            m_prepared[index] = false;
        }
        waveOutClose(m_wave);
        m_wave = nullptr;
    }
    if (m_done)
        CloseHandle(m_done);
    m_done = nullptr;
}
