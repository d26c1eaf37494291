#include "audio/WasapiOutput.h"

#include <ks.h>
#include <ksmedia.h>

#include <chrono>

namespace {

constexpr DWORD kDeviceSilenceMs = 2000; // a period never takes this long: the device is gone
constexpr REFERENCE_TIME kUnitsPerMs = 10000;
// At most two periods are kept queued, however large the buffer: a note then waits for at most
// about two periods before it is rendered (under Wine, with three queued, up to 34 ms against
// 19 ms with two), and a period of slack is left for a render that runs late.
constexpr UINT32 kQueuedPeriods = 2;

const GUID kSubtypeFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsFloat32(const WAVEFORMATEX& format)
{
    if (format.wBitsPerSample != 32)
        return false;
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
        return true;
    return format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22 &&
        IsEqualGUID(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat, kSubtypeFloat);
}

bool IsInt16(const WAVEFORMATEX& format)
{
    if (format.wBitsPerSample != 16)
        return false;
    if (format.wFormatTag == WAVE_FORMAT_PCM)
        return true;
    return format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22 &&
        IsEqualGUID(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat, kSubtypePcm);
}

WAVEFORMATEXTENSIBLE Int16Like(const WAVEFORMATEX& mix)
{
    WAVEFORMATEXTENSIBLE format {};
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.nChannels = mix.nChannels;
    format.Format.nSamplesPerSec = mix.nSamplesPerSec;
    format.Format.wBitsPerSample = 16;
    format.Format.nBlockAlign = static_cast<WORD>(2 * mix.nChannels);
    format.Format.nAvgBytesPerSec = mix.nSamplesPerSec * format.Format.nBlockAlign;
    format.Format.cbSize = 22;
    format.Samples.wValidBitsPerSample = 16;
    format.dwChannelMask = mix.wFormatTag == WAVE_FORMAT_EXTENSIBLE
        ? reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(mix).dwChannelMask
        : 0;
    format.SubFormat = kSubtypePcm;
    return format;
}

ComRef<IMMDevice> DefaultEndpoint(HRESULT* result)
{
    IMMDeviceEnumerator* enumerator = nullptr;
    *result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
        __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator));
    if (FAILED(*result))
        return nullptr;
    ComRef<IMMDeviceEnumerator> owner(enumerator);
    IMMDevice* device = nullptr;
    *result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    return ComRef<IMMDevice>(SUCCEEDED(*result) ? device : nullptr);
}

} // namespace

unsigned WasapiMixRate()
{
    HRESULT result = S_OK;
    ComRef<IMMDevice> device = DefaultEndpoint(&result);
    if (!device)
        return 0;
    IAudioClient* client = nullptr;
    if (FAILED(device->Activate(
            __uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client)))) {
        return 0;
    }
    ComRef<IAudioClient> owner(client);
    WAVEFORMATEX* mix = nullptr;
    if (FAILED(client->GetMixFormat(&mix)) || !mix)
        return 0;
    unsigned rate = mix->nSamplesPerSec;
    CoTaskMemFree(mix);
    return rate;
}

CWasapiOutput::CWasapiOutput()
    : CAudioBackend(AudioApi::Wasapi)
{
}

CWasapiOutput::~CWasapiOutput()
{
    Close();
}

bool CWasapiOutput::OpenDevice(const AudioRequest& request, std::string* error)
{
    if (!ActivateClient(error) || !ChooseFormat(error))
        return false;
    if (!InitializeStream(ClampBufferMs(request.bufferMs), error))
        return false;
    MakePump(m_info.bufferFrames);
    return true;
}

bool CWasapiOutput::ActivateClient(std::string* error)
{
    HRESULT result = S_OK;
    ComRef<IMMDevice> device = DefaultEndpoint(&result);
    if (!device) {
        *error = result == REGDB_E_CLASSNOTREG
            ? Says("not on this Windows (no device enumerator)")
            : SaysResult("no audio output device: GetDefaultAudioEndpoint", result);
        return false;
    }
    IAudioClient* client = nullptr;
    result = device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client));
    if (FAILED(result)) {
        *error = SaysResult("Activate", result);
        return false;
    }
    m_client.reset(client);
    return true;
}

bool CWasapiOutput::ChooseFormat(std::string* error)
{
    HRESULT result = m_client->GetMixFormat(&m_mixFormat);
    if (FAILED(result) || !m_mixFormat) {
        *error = SaysResult("GetMixFormat", result);
        return false;
    }
    if (IsFloat32(*m_mixFormat) || IsInt16(*m_mixFormat)) {
        size_t size = sizeof(WAVEFORMATEX) + m_mixFormat->cbSize;
        memcpy(&m_chosen, m_mixFormat, size < sizeof m_chosen ? size : sizeof m_chosen);
    } else {
        m_chosen = Int16Like(*m_mixFormat);
    }
    m_info.format.kind = IsFloat32(m_chosen.Format) ? SampleKind::Float32 : SampleKind::Int16;
    m_info.format.channels = m_chosen.Format.nChannels;
    m_info.format.rate = m_chosen.Format.nSamplesPerSec;
    if (m_info.format.channels == 0 || m_info.format.rate == 0) {
        *error = Says("the mix format has no channels or no rate");
        return false;
    }
    return true;
}

bool CWasapiOutput::InitializeStream(unsigned bufferMs, std::string* error)
{
    HRESULT result = m_client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
        bufferMs * kUnitsPerMs, 0, &m_chosen.Format, nullptr);
    if (FAILED(result)) {
        *error = SaysResult("Initialize", result) + " for " + DescribeFormat(m_info.format);
        return false;
    }
    UINT32 bufferFrames = 0;
    REFERENCE_TIME period = 0, minimum = 0, latency = 0;
    m_ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    IAudioRenderClient* render = nullptr;
    if (!m_ready || FAILED(result = m_client->SetEventHandle(m_ready)) ||
        FAILED(result = m_client->GetBufferSize(&bufferFrames)) ||
        FAILED(
            result = m_client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render)))) {
        *error = SaysResult("setting up the stream", result);
        return false;
    }
    m_render.reset(render);
    IAudioClock* clock = nullptr;
    if (SUCCEEDED(m_client->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&clock)))) {
        m_clock.reset(clock);
        if (FAILED(m_clock->GetFrequency(&m_clockFrequency)))
            m_clockFrequency = 0;
    }
    m_client->GetDevicePeriod(&period, &minimum);
    m_client->GetStreamLatency(&latency);
    m_info.bufferFrames = bufferFrames;
    m_info.periodFrames = static_cast<unsigned>((period * m_info.format.rate + 5000000) / 10000000);
    m_info.latencyMs =
        MsOfFrames(m_info.format.rate, QueueLimit()) + latency / static_cast<double>(kUnitsPerMs);
    return true;
}

bool CWasapiOutput::StartDevice(std::string* error)
{
    m_framesWritten = 0;
    if (!FillAvailable(false)) {
        *error = FailureText();
        return false;
    }
    HRESULT result = m_client->Start();
    if (FAILED(result)) {
        *error = SaysResult("Start", result);
        return false;
    }
    return true;
}

// Whether the device has played every frame written: a wake-up that finds so came too late,
// and the device has had silence in between. Told by the stream's clock rather than by the
// padding, which a system mixer may empty into a deeper buffer of its own (Wine's does).
bool CWasapiOutput::PlayedEverything()
{
    UINT64 position = 0;
    if (!m_clock || m_clockFrequency == 0 || FAILED(m_clock->GetPosition(&position, nullptr)))
        return false;
    double played =
        static_cast<double>(position) * m_info.format.rate / static_cast<double>(m_clockFrequency);
    return played + 0.5 >= static_cast<double>(m_framesWritten);
}

UINT32 CWasapiOutput::QueueLimit() const
{
    if (m_info.periodFrames == 0 || m_info.bufferFrames < kQueuedPeriods * m_info.periodFrames)
        return m_info.bufferFrames;
    return kQueuedPeriods * m_info.periodFrames;
}

// Fills the endpoint up to the queue's limit, a period at a time: each period is the mixer's as
// soon as it is rendered. A mixer that took everything queued at once (Wine's does, when its
// own writes are held back) then finds the next period ready after one period's render rather
// than after the whole fill's, and plays no silence meanwhile.
bool CWasapiOutput::FillAvailable(bool countLate)
{
    if (countLate && PlayedEverything())
        m_stats.RecordLate();
    UINT32 padding = 0;
    HRESULT result = m_client->GetCurrentPadding(&padding);
    if (FAILED(result)) {
        Fail(SaysResult("GetCurrentPadding", result));
        return false;
    }
    const UINT32 queued = QueueLimit();
    UINT32 room = queued > padding ? queued - padding : 0;
    const UINT32 piece = m_info.periodFrames > 0 ? m_info.periodFrames : room;
    while (room > 0) {
        const UINT32 frames = room < piece ? room : piece;
        if (!FillPiece(frames))
            return false;
        room -= frames;
    }
    return true;
}

bool CWasapiOutput::FillPiece(UINT32 frames)
{
    BYTE* data = nullptr;
    auto asked = std::chrono::steady_clock::now();
    HRESULT result = m_render->GetBuffer(frames, &data);
    if (FAILED(result)) {
        Fail(SaysResult("GetBuffer", result));
        return false;
    }
    Pump().Fill(data, frames);
    result = m_render->ReleaseBuffer(frames, 0);
    if (FAILED(result)) {
        Fail(SaysResult("ReleaseBuffer", result));
        return false;
    }
    m_stats.RecordBuffer(frames, std::chrono::steady_clock::now() - asked);
    m_framesWritten += frames;
    return true;
}

void CWasapiOutput::RunDevice()
{
    HANDLE waits[] = {WakeEvent(), m_ready};
    while (!StopRequested()) {
        DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kDeviceSilenceMs);
        if (woke == WAIT_OBJECT_0)
            continue; // a stop: the loop's test ends it
        if (woke != WAIT_OBJECT_0 + 1) {
            Fail(Says("the device stopped asking for sound"));
            return;
        }
        if (!FillAvailable(true))
            return;
    }
}

void CWasapiOutput::StopDevice()
{
    m_client->Stop();
    m_client->Reset();
}

void CWasapiOutput::CloseDevice()
{
    m_clock.reset();
    m_render.reset();
    m_client.reset();
    if (m_mixFormat)
        CoTaskMemFree(m_mixFormat);
    m_mixFormat = nullptr;
    if (m_ready)
        CloseHandle(m_ready);
    m_ready = nullptr;
}
