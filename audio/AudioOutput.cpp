#include "audio/AudioOutput.h"

#include "audio/DirectSoundOutput.h"
#include "audio/WasapiOutput.h"
#include "audio/WaveOutOutput.h"

namespace {

std::unique_ptr<AudioBackend> MakeBackend(AudioApi api) {
  switch (api) {
    case AudioApi::Wasapi: return std::make_unique<WasapiOutput>();
    case AudioApi::DirectSound: return std::make_unique<DirectSoundOutput>();
    case AudioApi::WaveOut: return std::make_unique<WaveOutOutput>();
  }
  return nullptr;
}

}  // namespace

AudioOutput::AudioOutput() = default;

AudioOutput::~AudioOutput() { Close(); }

bool AudioOutput::Open(const AudioRequest& request, RenderCallback callback, std::string* error) {
  Close();
  std::string reasons;
  for (AudioApi api : AudioApisToTry(request.api, request.fallBack)) {
    std::unique_ptr<AudioBackend> backend = MakeBackend(api);
    std::string why;
    if (backend->Open(request, callback, &why)) {
      backend_ = std::move(backend);
      return true;
    }
    reasons += (reasons.empty() ? "" : "; ") + why;
  }
  *error = "No audio output could be opened: " + reasons;
  return false;
}

bool AudioOutput::Start(std::string* error) {
  if (!backend_) {
    *error = "No audio output is open";
    return false;
  }
  return backend_->Start(error);
}

void AudioOutput::Stop() {
  if (backend_) backend_->Stop();
}

void AudioOutput::Close() {
  if (!backend_) return;
  backend_->Close();
  backend_.reset();
}

const AudioStreamInfo& AudioOutput::Info() const { return backend_ ? backend_->Info() : closed_; }

AudioStatsSnapshot AudioOutput::Stats() const {
  return backend_ ? backend_->Stats() : AudioStatsSnapshot{};
}

bool AudioOutput::Failed() const { return backend_ && backend_->Failed(); }

std::string AudioOutput::FailureText() const { return backend_ ? backend_->FailureText() : ""; }
