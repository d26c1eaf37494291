#include "audio/WaveOutOutput.h"

#include <chrono>

#include "audio/WasapiOutput.h"

namespace {

constexpr unsigned kFallbackRate = 44100;
constexpr DWORD kDeviceSilenceMs = 2000;

}  // namespace

WaveOutOutput::WaveOutOutput() : AudioBackend(AudioApi::WaveOut) {}

WaveOutOutput::~WaveOutOutput() { Close(); }

std::string WaveOutOutput::SaysError(const char* call, MMRESULT result) const {
  char text[MAXERRORLENGTH] = "";
  waveOutGetErrorTextA(result, text, sizeof text);
  return Says(std::string(call) + " failed (" + std::to_string(result) + ": " + text + ")");
}

bool WaveOutOutput::OpenDevice(const AudioRequest& request, std::string* error) {
  if (waveOutGetNumDevs() == 0) {
    *error = Says("no audio output device (waveOutGetNumDevs is 0)");
    return false;
  }
  unsigned rate = WasapiMixRate();
  info_.format = DeviceFormat{SampleKind::Int16, 2, rate ? rate : kFallbackRate};
  info_.periodFrames = FramesForMs(info_.format.rate, (ClampBufferMs(request.bufferMs) + kRingLength - 1) / kRingLength);
  info_.bufferFrames = kRingLength * info_.periodFrames;
  info_.latencyMs = MsOfFrames(info_.format.rate, info_.bufferFrames);

  DWORD frameBytes = static_cast<DWORD>(BytesPerFrame(info_.format));
  WAVEFORMATEX wave{WAVE_FORMAT_PCM, 2, info_.format.rate, info_.format.rate * frameBytes,
                    static_cast<WORD>(frameBytes), 16, 0};
  done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!done_) {
    *error = Says("no event could be made");
    return false;
  }
  MMRESULT result = waveOutOpen(&wave_, WAVE_MAPPER, &wave, reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    wave_ = nullptr;
    *error = SaysError("waveOutOpen", result) + " for " + DescribeFormat(info_.format);
    return false;
  }
  waveOutPause(wave_);  // nothing plays until Start
  if (!PrepareRing(error)) return false;
  MakePump(info_.periodFrames);
  return true;
}

bool WaveOutOutput::PrepareRing(std::string* error) {
  DWORD bytes = info_.periodFrames * static_cast<DWORD>(BytesPerFrame(info_.format));
  samples_.assign(static_cast<size_t>(bytes) * kRingLength, 0);
  for (unsigned index = 0; index < kRingLength; ++index) {
    WAVEHDR& header = ring_[index];
    header = WAVEHDR{};
    header.lpData = samples_.data() + static_cast<size_t>(bytes) * index;
    header.dwBufferLength = bytes;
    MMRESULT result = waveOutPrepareHeader(wave_, &header, sizeof header);
    if (result != MMSYSERR_NOERROR) {
      *error = SaysError("waveOutPrepareHeader", result);
      return false;
    }
    prepared_[index] = true;
    header.dwFlags |= WHDR_DONE;  // free to be filled
  }
  return true;
}

bool WaveOutOutput::StartDevice(std::string* error) {
  for (WAVEHDR& header : ring_) {
    if (!Queue(header)) {
      *error = FailureText();
      return false;
    }
  }
  MMRESULT result = waveOutRestart(wave_);
  if (result != MMSYSERR_NOERROR) {
    *error = SaysError("waveOutRestart", result);
    return false;
  }
  return true;
}

bool WaveOutOutput::Queue(WAVEHDR& header) {
  auto asked = std::chrono::steady_clock::now();
  Pump().Fill(header.lpData, info_.periodFrames);
  header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  MMRESULT result = waveOutWrite(wave_, &header, sizeof header);
  if (result != MMSYSERR_NOERROR) {
    header.dwFlags |= WHDR_DONE;
    Fail(SaysError("waveOutWrite", result));
    return false;
  }
  stats_.RecordBuffer(info_.periodFrames, std::chrono::steady_clock::now() - asked);
  return true;
}

// Queues again every buffer the driver has played. When all of them had been played, the
// driver ran dry before this refill: it came too late.
bool WaveOutOutput::RefillPlayed() {
  unsigned played = 0;
  for (WAVEHDR& header : ring_) played += (header.dwFlags & WHDR_DONE) ? 1 : 0;
  if (played == kRingLength) stats_.RecordLate();
  for (WAVEHDR& header : ring_) {
    if ((header.dwFlags & WHDR_DONE) && !Queue(header)) return false;
  }
  return true;
}

void WaveOutOutput::RunDevice() {
  HANDLE waits[] = {WakeEvent(), done_};
  while (!StopRequested()) {
    DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kDeviceSilenceMs);
    if (woke == WAIT_OBJECT_0) continue;
    if (woke != WAIT_OBJECT_0 + 1) {
      Fail(Says("the device stopped playing"));
      return;
    }
    if (!RefillPlayed()) return;
  }
}

void WaveOutOutput::StopDevice() {
  // Reset hands every queued buffer back marked done.
  waveOutReset(wave_);
  waveOutPause(wave_);
}

void WaveOutOutput::CloseDevice() {
  if (wave_) {
    waveOutReset(wave_);
    for (unsigned index = 0; index < kRingLength; ++index) {
      if (prepared_[index]) waveOutUnprepareHeader(wave_, &ring_[index], sizeof ring_[index]);
      prepared_[index] = false;
    }
    waveOutClose(wave_);
    wave_ = nullptr;
  }
  if (done_) CloseHandle(done_);
  done_ = nullptr;
}
