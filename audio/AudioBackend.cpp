#include "audio/AudioBackend.h"

#include <objbase.h>

#include <cstdio>

#include "audio/AudioThreadPriority.h"

AudioBackend::AudioBackend(AudioApi api) : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  info_.api = api;
}

AudioBackend::~AudioBackend() {
  Close();
  if (wake_) CloseHandle(wake_);
}

bool AudioBackend::Open(const AudioRequest& request, RenderCallback callback, std::string* error) {
  if (open_) return true;
  if (!wake_) {
    *error = Says("no event could be made");
    return false;
  }
  callback_ = std::move(callback);
  answered_ = false;
  thread_ = std::thread([this, request] { ThreadMain(request); });
  open_ = WaitAnswer(error);
  if (!open_) thread_.join();
  return open_;
}

bool AudioBackend::Start(std::string* error) {
  if (!open_) {
    *error = Says("not open");
    return false;
  }
  if (running_) return true;
  stopRequested_ = false;
  running_ = Ask(Command::Start, error);
  return running_;
}

void AudioBackend::Stop() {
  if (!open_ || !running_) return;
  stopRequested_ = true;
  SetEvent(wake_);
  std::string ignored;
  Ask(Command::Stop, &ignored);
  running_ = false;
}

void AudioBackend::Close() {
  if (!open_) return;
  Stop();
  std::string ignored;
  Ask(Command::Close, &ignored);
  thread_.join();
  open_ = false;
}

std::string AudioBackend::FailureText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failure_;
}

void AudioBackend::Fail(const std::string& why) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failure_.empty()) failure_ = why;
  }
  failed_ = true;
}

void AudioBackend::MakePump(size_t chunkFrames) {
  pump_ = std::make_unique<RenderPump>(callback_, info_.format, chunkFrames);
}

std::string AudioBackend::Says(const std::string& what) const {
  return std::string(AudioApiName(info_.api)) + ": " + what;
}

std::string AudioBackend::SaysResult(const char* call, long result) const {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  return Says(std::string(call) + " failed (" + code + ")");
}

void AudioBackend::ThreadMain(AudioRequest request) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  AudioThreadPriority priority;
  std::string error;
  bool opened = OpenDevice(request, &error);
  if (opened) {
    Answer(true, "");
    ServeCommands();
    CloseDevice();
  } else {
    CloseDevice();
    Answer(false, error);
  }
  pump_.reset();
  if (SUCCEEDED(com)) CoUninitialize();
}

void AudioBackend::ServeCommands() {
  for (;;) {
    Command command = WaitCommand();
    if (command == Command::Close) {
      Answer(true, "");
      return;
    }
    if (command != Command::Start) {
      Answer(true, "");
      continue;
    }
    std::string error;
    bool started = !failed_ && StartDevice(&error);
    Answer(started, failed_ ? FailureText() : error);
    if (started) {
      RunDevice();
      StopDevice();
    }
  }
}

AudioBackend::Command AudioBackend::WaitCommand() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return command_ != Command::None; });
  Command command = command_;
  command_ = Command::None;
  return command;
}

void AudioBackend::Answer(bool ok, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  answered_ = true;
  answerOk_ = ok;
  answerText_ = text;
  changed_.notify_all();
}

bool AudioBackend::Ask(Command command, std::string* text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    answered_ = false;
    command_ = command;
    changed_.notify_all();
  }
  return WaitAnswer(text);
}

bool AudioBackend::WaitAnswer(std::string* text) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return answered_; });
  *text = answerText_;
  return answerOk_;
}
