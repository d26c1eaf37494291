#include "audio/DirectSoundOutput.h"

#include <algorithm>
#include <chrono>

#include "audio/WasapiOutput.h"

namespace {

constexpr unsigned kFallbackRate = 44100; // what Windows XP's mixer runs at by default
constexpr DWORD kStallMs = 2000; // a cursor standing this long: the device is gone
// The shortest loop that plays without repeats: Wine's DirectSound mixes about 30 ms of a
// secondary buffer at once (a 30 ms loop played stale stretches, 45 ms none), and XP's kernel
// mixer has a published floor of 20 to 30 ms.
constexpr unsigned kShortestBufferMs = 45;

} // namespace

CDirectSoundOutput::CDirectSoundOutput()
    : CAudioBackend(AudioApi::DirectSound)
    , m_dsound(L"dsound.dll")
{
}

CDirectSoundOutput::~CDirectSoundOutput()
{
    Close();
}

bool CDirectSoundOutput::OpenDevice(const AudioRequest& request, std::string* error)
{
    if (!CreateDevice(error))
        return false;
    m_info.format = DeviceFormat {SampleKind::Int16, 2, ChooseRate()};
    if (!CreateBuffer(std::max(ClampBufferMs(request.bufferMs), kShortestBufferMs), error))
        return false;
    MakePump(m_info.bufferFrames);
    return true;
}

bool CDirectSoundOutput::CreateDevice(std::string* error)
{
    if (!m_dsound.Loaded()) {
        *error = Says("dsound.dll could not be loaded (error " + std::to_string(m_dsound.LoadError()) + ")");
        return false;
    }
    auto create = m_dsound.Find<decltype(&DirectSoundCreate)>("DirectSoundCreate");
    if (!create) {
        *error = Says("dsound.dll has no DirectSoundCreate");
        return false;
    }
    IDirectSound* device = nullptr;
    HRESULT result = create(nullptr, &device, nullptr);
    if (FAILED(result)) {
        *error = SaysResult("no audio output device: DirectSoundCreate", result);
        return false;
    }
    m_device.reset(device);
    // The desktop as the window: the sound goes on whichever window has the focus.
    result = m_device->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY);
    if (FAILED(result)) {
        *error = SaysResult("SetCooperativeLevel", result);
        return false;
    }
    return true;
}

// The system's mix rate where WASAPI tells it; otherwise the primary buffer's rate, which
// DirectSound mixes at, raised to 44.1 kHz where it is lower (XP starts it at 22.05 kHz).
unsigned CDirectSoundOutput::ChooseRate()
{
    if (unsigned mixRate = WasapiMixRate())
        return mixRate;
    DSBUFFERDESC description {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(m_device->CreateSoundBuffer(&description, &primary, nullptr)))
        return kFallbackRate;
    ComRef<IDirectSoundBuffer> owner(primary);
    WAVEFORMATEX format {};
    if (SUCCEEDED(primary->GetFormat(&format, sizeof format, nullptr)) &&
        format.nSamplesPerSec >= kFallbackRate) {
        return format.nSamplesPerSec;
    }
    WAVEFORMATEX wanted {WAVE_FORMAT_PCM, 2, kFallbackRate, kFallbackRate * 4, 4, 16, 0};
    primary->SetFormat(&wanted);
    return kFallbackRate;
}

bool CDirectSoundOutput::CreateBuffer(unsigned bufferMs, std::string* error)
{
    const DeviceFormat& format = m_info.format;
    m_frameBytes = static_cast<DWORD>(BytesPerFrame(format));
    // Three periods queued and a fourth free: the cursor can then be seen to pass what was
    // written, which a full loop of the buffer would hide.
    m_info.periodFrames = FramesForMs(format.rate, (bufferMs + 2) / 3);
    m_info.bufferFrames = 3 * m_info.periodFrames;
    m_queuedBytes = m_info.bufferFrames * m_frameBytes;
    m_bufferBytes = m_queuedBytes + m_info.periodFrames * m_frameBytes;
    WAVEFORMATEX wave {WAVE_FORMAT_PCM, static_cast<WORD>(format.channels), format.rate,
        format.rate * m_frameBytes, static_cast<WORD>(m_frameBytes), 16, 0};
    DSBUFFERDESC description {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = m_bufferBytes;
    description.lpwfxFormat = &wave;
    IDirectSoundBuffer* buffer = nullptr;
    HRESULT result = m_device->CreateSoundBuffer(&description, &buffer, nullptr);
    if (FAILED(result)) {
        *error = SaysResult("CreateSoundBuffer", result) + " for " + DescribeFormat(format);
        return false;
    }
    m_buffer.reset(buffer);
    m_info.latencyMs = MsOfFrames(format.rate, m_info.bufferFrames);
    return true;
}

bool CDirectSoundOutput::StartDevice(std::string* error)
{
    m_writeOffset = m_lastPlay = 0;
    m_written = m_played = 0;
    m_stalledSince = 0;
    m_buffer->SetCurrentPosition(0);
    if (!WriteAt(0, m_queuedBytes)) {
        *error = FailureText();
        return false;
    }
    HRESULT result = m_buffer->Play(0, 0, DSBPLAY_LOOPING);
    if (FAILED(result)) {
        *error = SaysResult("Play", result);
        return false;
    }
    return true;
}

void CDirectSoundOutput::RunDevice()
{
    DWORD periodMs = static_cast<DWORD>(MsOfFrames(m_info.format.rate, m_info.periodFrames));
    while (!StopRequested()) {
        WaitForSingleObject(WakeEvent(), periodMs ? periodMs : 1);
        if (StopRequested() || !Refill())
            return;
    }
}

// Writes on from the last frame written until the queue is full again. When the cursor has
// passed everything written, the buffer played stale sound: that refill came too late, and
// the writing starts again just ahead of the cursor.
bool CDirectSoundOutput::Refill()
{
    DWORD play = 0, safe = 0;
    HRESULT result = m_buffer->GetCurrentPosition(&play, &safe);
    if (FAILED(result)) {
        Fail(SaysResult("GetCurrentPosition", result));
        return false;
    }
    DWORD moved = (play + m_bufferBytes - m_lastPlay) % m_bufferBytes;
    m_lastPlay = play;
    m_played += moved;
    DWORD now = GetTickCount();
    if (moved != 0) {
        m_stalledSince = 0;
    } else if (m_stalledSince == 0) {
        m_stalledSince = now ? now : 1;
    } else if (now - m_stalledSince > kStallMs) {
        Fail(Says("the device stopped playing"));
        return false;
    }
    if (m_played > m_written) {
        m_stats.RecordLate();
        m_writeOffset = safe;
        m_written = m_played + (safe + m_bufferBytes - play) % m_bufferBytes;
    }
    uint64_t queued = m_written - m_played;
    if (queued >= m_queuedBytes)
        return true;
    DWORD room = m_queuedBytes - static_cast<DWORD>(queued);
    room -= room % m_frameBytes;
    return room == 0 || WriteAt(m_writeOffset, room);
}

bool CDirectSoundOutput::WriteAt(DWORD offset, DWORD bytes)
{
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    auto asked = std::chrono::steady_clock::now();
    HRESULT result = m_buffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    if (result == DSERR_BUFFERLOST && SUCCEEDED(m_buffer->Restore())) {
        result = m_buffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    }
    if (FAILED(result)) {
        Fail(SaysResult("Lock", result));
        return false;
    }
    Pump().FillBytes(first, firstBytes);
    if (second)
        Pump().FillBytes(second, secondBytes);
    m_buffer->Unlock(first, firstBytes, second, secondBytes);
    m_stats.RecordBuffer((firstBytes + secondBytes) / m_frameBytes, std::chrono::steady_clock::now() - asked);
    m_writeOffset = (offset + firstBytes + secondBytes) % m_bufferBytes;
    m_written += firstBytes + secondBytes;
    return true;
}

void CDirectSoundOutput::StopDevice()
{
    m_buffer->Stop();
}

void CDirectSoundOutput::CloseDevice()
{
    m_buffer.reset();
    m_device.reset();
}
