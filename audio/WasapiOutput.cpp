#include "audio/WasapiOutput.h"

#include <ks.h>
#include <ksmedia.h>

#include <chrono>

namespace {

constexpr DWORD kDeviceSilenceMs = 2000;  // a period never takes this long: the device is gone
constexpr REFERENCE_TIME kUnitsPerMs = 10000;

const GUID kSubtypeFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsFloat32(const WAVEFORMATEX& format) {
  if (format.wBitsPerSample != 32) return false;
  if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) return true;
  return format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22 &&
         IsEqualGUID(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat, kSubtypeFloat);
}

bool IsInt16(const WAVEFORMATEX& format) {
  if (format.wBitsPerSample != 16) return false;
  if (format.wFormatTag == WAVE_FORMAT_PCM) return true;
  return format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22 &&
         IsEqualGUID(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat, kSubtypePcm);
}

WAVEFORMATEXTENSIBLE Int16Like(const WAVEFORMATEX& mix) {
  WAVEFORMATEXTENSIBLE format{};
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

AudioComRef<IMMDevice> DefaultEndpoint(HRESULT* result) {
  IMMDeviceEnumerator* enumerator = nullptr;
  *result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                             __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator));
  if (FAILED(*result)) return nullptr;
  AudioComRef<IMMDeviceEnumerator> owner(enumerator);
  IMMDevice* device = nullptr;
  *result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
  return AudioComRef<IMMDevice>(SUCCEEDED(*result) ? device : nullptr);
}

}  // namespace

unsigned WasapiMixRate() {
  HRESULT result = S_OK;
  AudioComRef<IMMDevice> device = DefaultEndpoint(&result);
  if (!device) return 0;
  IAudioClient* client = nullptr;
  if (FAILED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client)))) {
    return 0;
  }
  AudioComRef<IAudioClient> owner(client);
  WAVEFORMATEX* mix = nullptr;
  if (FAILED(client->GetMixFormat(&mix)) || !mix) return 0;
  unsigned rate = mix->nSamplesPerSec;
  CoTaskMemFree(mix);
  return rate;
}

WasapiOutput::WasapiOutput() : AudioBackend(AudioApi::Wasapi) {}

WasapiOutput::~WasapiOutput() { Close(); }

bool WasapiOutput::OpenDevice(const AudioRequest& request, std::string* error) {
  if (!ActivateClient(error) || !ChooseFormat(error)) return false;
  if (!InitializeStream(ClampBufferMs(request.bufferMs), error)) return false;
  MakePump(info_.bufferFrames);
  return true;
}

bool WasapiOutput::ActivateClient(std::string* error) {
  HRESULT result = S_OK;
  AudioComRef<IMMDevice> device = DefaultEndpoint(&result);
  if (!device) {
    *error = result == REGDB_E_CLASSNOTREG ? Says("not on this Windows (no device enumerator)")
                                           : SaysResult("no audio output device: GetDefaultAudioEndpoint", result);
    return false;
  }
  IAudioClient* client = nullptr;
  result = device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client));
  if (FAILED(result)) {
    *error = SaysResult("Activate", result);
    return false;
  }
  client_.reset(client);
  return true;
}

bool WasapiOutput::ChooseFormat(std::string* error) {
  HRESULT result = client_->GetMixFormat(&mixFormat_);
  if (FAILED(result) || !mixFormat_) {
    *error = SaysResult("GetMixFormat", result);
    return false;
  }
  if (IsFloat32(*mixFormat_) || IsInt16(*mixFormat_)) {
    size_t size = sizeof(WAVEFORMATEX) + mixFormat_->cbSize;
    memcpy(&chosen_, mixFormat_, size < sizeof chosen_ ? size : sizeof chosen_);
  } else {
    chosen_ = Int16Like(*mixFormat_);
  }
  info_.format.kind = IsFloat32(chosen_.Format) ? SampleKind::Float32 : SampleKind::Int16;
  info_.format.channels = chosen_.Format.nChannels;
  info_.format.rate = chosen_.Format.nSamplesPerSec;
  if (info_.format.channels == 0 || info_.format.rate == 0) {
    *error = Says("the mix format has no channels or no rate");
    return false;
  }
  return true;
}

bool WasapiOutput::InitializeStream(unsigned bufferMs, std::string* error) {
  HRESULT result = client_->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                       bufferMs * kUnitsPerMs, 0, &chosen_.Format, nullptr);
  if (FAILED(result)) {
    *error = SaysResult("Initialize", result) + " for " + DescribeFormat(info_.format);
    return false;
  }
  UINT32 bufferFrames = 0;
  REFERENCE_TIME period = 0, minimum = 0, latency = 0;
  ready_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  IAudioRenderClient* render = nullptr;
  if (!ready_ || FAILED(result = client_->SetEventHandle(ready_)) ||
      FAILED(result = client_->GetBufferSize(&bufferFrames)) ||
      FAILED(result = client_->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render)))) {
    *error = SaysResult("setting up the stream", result);
    return false;
  }
  render_.reset(render);
  IAudioClock* clock = nullptr;
  if (SUCCEEDED(client_->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&clock)))) {
    clock_.reset(clock);
    if (FAILED(clock_->GetFrequency(&clockFrequency_))) clockFrequency_ = 0;
  }
  client_->GetDevicePeriod(&period, &minimum);
  client_->GetStreamLatency(&latency);
  info_.bufferFrames = bufferFrames;
  info_.periodFrames = static_cast<unsigned>((period * info_.format.rate + 5000000) / 10000000);
  info_.latencyMs = MsOfFrames(info_.format.rate, bufferFrames) + latency / static_cast<double>(kUnitsPerMs);
  return true;
}

bool WasapiOutput::StartDevice(std::string* error) {
  framesWritten_ = 0;
  if (!FillAvailable(false)) {
    *error = FailureText();
    return false;
  }
  HRESULT result = client_->Start();
  if (FAILED(result)) {
    *error = SaysResult("Start", result);
    return false;
  }
  return true;
}

// Whether the device has played every frame written: a wake-up that finds so came too late,
// and the device has had silence in between. Told by the stream's clock rather than by the
// padding, which a system mixer may empty into a deeper buffer of its own (Wine's does).
bool WasapiOutput::PlayedEverything() {
  UINT64 position = 0;
  if (!clock_ || clockFrequency_ == 0 || FAILED(clock_->GetPosition(&position, nullptr))) return false;
  double played = static_cast<double>(position) * info_.format.rate / static_cast<double>(clockFrequency_);
  return played + 0.5 >= static_cast<double>(framesWritten_);
}

// Fills what the endpoint has room for.
bool WasapiOutput::FillAvailable(bool countLate) {
  if (countLate && PlayedEverything()) stats_.RecordLate();
  UINT32 padding = 0;
  HRESULT result = client_->GetCurrentPadding(&padding);
  if (FAILED(result)) {
    Fail(SaysResult("GetCurrentPadding", result));
    return false;
  }
  UINT32 room = info_.bufferFrames - padding;
  if (room == 0) return true;
  BYTE* data = nullptr;
  auto asked = std::chrono::steady_clock::now();
  result = render_->GetBuffer(room, &data);
  if (FAILED(result)) {
    Fail(SaysResult("GetBuffer", result));
    return false;
  }
  Pump().Fill(data, room);
  result = render_->ReleaseBuffer(room, 0);
  if (FAILED(result)) {
    Fail(SaysResult("ReleaseBuffer", result));
    return false;
  }
  stats_.RecordBuffer(room, std::chrono::steady_clock::now() - asked);
  framesWritten_ += room;
  return true;
}

void WasapiOutput::RunDevice() {
  HANDLE waits[] = {WakeEvent(), ready_};
  while (!StopRequested()) {
    DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kDeviceSilenceMs);
    if (woke == WAIT_OBJECT_0) continue;  // a stop: the loop's test ends it
    if (woke != WAIT_OBJECT_0 + 1) {
      Fail(Says("the device stopped asking for sound"));
      return;
    }
    if (!FillAvailable(true)) return;
  }
}

void WasapiOutput::StopDevice() {
  client_->Stop();
  client_->Reset();
}

void WasapiOutput::CloseDevice() {
  clock_.reset();
  render_.reset();
  client_.reset();
  if (mixFormat_) CoTaskMemFree(mixFormat_);
  mixFormat_ = nullptr;
  if (ready_) CloseHandle(ready_);
  ready_ = nullptr;
}
