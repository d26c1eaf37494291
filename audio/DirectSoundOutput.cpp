#include "audio/DirectSoundOutput.h"

#include <chrono>

#include "audio/WasapiOutput.h"

namespace {

constexpr unsigned kFallbackRate = 44100;  // what Windows XP's mixer runs at by default
constexpr DWORD kStallMs = 2000;           // a cursor standing this long: the device is gone

}  // namespace

DirectSoundOutput::DirectSoundOutput() : AudioBackend(AudioApi::DirectSound), dsound_(L"dsound.dll") {}

DirectSoundOutput::~DirectSoundOutput() { Close(); }

bool DirectSoundOutput::OpenDevice(const AudioRequest& request, std::string* error) {
  if (!CreateDevice(error)) return false;
  info_.format = DeviceFormat{SampleKind::Int16, 2, ChooseRate()};
  if (!CreateBuffer(ClampBufferMs(request.bufferMs), error)) return false;
  MakePump(info_.bufferFrames);
  return true;
}

bool DirectSoundOutput::CreateDevice(std::string* error) {
  if (!dsound_.Loaded()) {
    *error = Says("dsound.dll could not be loaded (error " + std::to_string(dsound_.LoadError()) + ")");
    return false;
  }
  auto create = dsound_.Find<decltype(&DirectSoundCreate)>("DirectSoundCreate");
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
  device_.reset(device);
  // The desktop as the window: the sound goes on whichever window has the focus.
  result = device_->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY);
  if (FAILED(result)) {
    *error = SaysResult("SetCooperativeLevel", result);
    return false;
  }
  return true;
}

// The system's mix rate where WASAPI tells it; otherwise the primary buffer's rate, which
// DirectSound mixes at, raised to 44.1 kHz where it is lower (XP starts it at 22.05 kHz).
unsigned DirectSoundOutput::ChooseRate() {
  if (unsigned mixRate = WasapiMixRate()) return mixRate;
  DSBUFFERDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  if (FAILED(device_->CreateSoundBuffer(&description, &primary, nullptr))) return kFallbackRate;
  AudioComRef<IDirectSoundBuffer> owner(primary);
  WAVEFORMATEX format{};
  if (SUCCEEDED(primary->GetFormat(&format, sizeof format, nullptr)) && format.nSamplesPerSec >= kFallbackRate) {
    return format.nSamplesPerSec;
  }
  WAVEFORMATEX wanted{WAVE_FORMAT_PCM, 2, kFallbackRate, kFallbackRate * 4, 4, 16, 0};
  primary->SetFormat(&wanted);
  return kFallbackRate;
}

bool DirectSoundOutput::CreateBuffer(unsigned bufferMs, std::string* error) {
  const DeviceFormat& format = info_.format;
  frameBytes_ = static_cast<DWORD>(BytesPerFrame(format));
  // Three periods queued and a fourth free: the cursor can then be seen to pass what was
  // written, which a full loop of the buffer would hide.
  info_.periodFrames = FramesForMs(format.rate, (bufferMs + 2) / 3);
  info_.bufferFrames = 3 * info_.periodFrames;
  queuedBytes_ = info_.bufferFrames * frameBytes_;
  bufferBytes_ = queuedBytes_ + info_.periodFrames * frameBytes_;
  WAVEFORMATEX wave{WAVE_FORMAT_PCM, static_cast<WORD>(format.channels), format.rate,
                    format.rate * frameBytes_, static_cast<WORD>(frameBytes_), 16, 0};
  DSBUFFERDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
  description.dwBufferBytes = bufferBytes_;
  description.lpwfxFormat = &wave;
  IDirectSoundBuffer* buffer = nullptr;
  HRESULT result = device_->CreateSoundBuffer(&description, &buffer, nullptr);
  if (FAILED(result)) {
    *error = SaysResult("CreateSoundBuffer", result) + " for " + DescribeFormat(format);
    return false;
  }
  buffer_.reset(buffer);
  info_.latencyMs = MsOfFrames(format.rate, info_.bufferFrames);
  return true;
}

bool DirectSoundOutput::StartDevice(std::string* error) {
  writeOffset_ = lastPlay_ = 0;
  written_ = played_ = 0;
  stalledSince_ = 0;
  buffer_->SetCurrentPosition(0);
  if (!WriteAt(0, queuedBytes_)) {
    *error = FailureText();
    return false;
  }
  HRESULT result = buffer_->Play(0, 0, DSBPLAY_LOOPING);
  if (FAILED(result)) {
    *error = SaysResult("Play", result);
    return false;
  }
  return true;
}

void DirectSoundOutput::RunDevice() {
  DWORD periodMs = static_cast<DWORD>(MsOfFrames(info_.format.rate, info_.periodFrames));
  while (!StopRequested()) {
    WaitForSingleObject(WakeEvent(), periodMs ? periodMs : 1);
    if (StopRequested() || !Refill()) return;
  }
}

// Writes on from the last frame written until the queue is full again. When the cursor has
// passed everything written, the buffer played stale sound: that refill came too late, and
// the writing starts again just ahead of the cursor.
bool DirectSoundOutput::Refill() {
  DWORD play = 0, safe = 0;
  HRESULT result = buffer_->GetCurrentPosition(&play, &safe);
  if (FAILED(result)) {
    Fail(SaysResult("GetCurrentPosition", result));
    return false;
  }
  DWORD moved = (play + bufferBytes_ - lastPlay_) % bufferBytes_;
  lastPlay_ = play;
  played_ += moved;
  DWORD now = GetTickCount();
  if (moved != 0) {
    stalledSince_ = 0;
  } else if (stalledSince_ == 0) {
    stalledSince_ = now ? now : 1;
  } else if (now - stalledSince_ > kStallMs) {
    Fail(Says("the device stopped playing"));
    return false;
  }
  if (played_ > written_) {
    stats_.RecordLate();
    writeOffset_ = safe;
    written_ = played_ + (safe + bufferBytes_ - play) % bufferBytes_;
  }
  uint64_t queued = written_ - played_;
  if (queued >= queuedBytes_) return true;
  DWORD room = queuedBytes_ - static_cast<DWORD>(queued);
  room -= room % frameBytes_;
  return room == 0 || WriteAt(writeOffset_, room);
}

bool DirectSoundOutput::WriteAt(DWORD offset, DWORD bytes) {
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  auto asked = std::chrono::steady_clock::now();
  HRESULT result = buffer_->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
  if (result == DSERR_BUFFERLOST && SUCCEEDED(buffer_->Restore())) {
    result = buffer_->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
  }
  if (FAILED(result)) {
    Fail(SaysResult("Lock", result));
    return false;
  }
  Pump().FillBytes(first, firstBytes);
  if (second) Pump().FillBytes(second, secondBytes);
  buffer_->Unlock(first, firstBytes, second, secondBytes);
  stats_.RecordBuffer((firstBytes + secondBytes) / frameBytes_, std::chrono::steady_clock::now() - asked);
  writeOffset_ = (offset + firstBytes + secondBytes) % bufferBytes_;
  written_ += firstBytes + secondBytes;
  return true;
}

void DirectSoundOutput::StopDevice() { buffer_->Stop(); }

void DirectSoundOutput::CloseDevice() {
  buffer_.reset();
  device_.reset();
}
