#pragma once
// One audio API's output, run on a thread of its own: the device is opened, started, fed,
// stopped and closed on that thread (COM objects and DirectSound buffers then live in one
// apartment), and the caller's Open, Start, Stop and Close wait for the thread's answer. The
// render callback is called only on that thread, and never after Close has returned.
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "audio/AudioStats.h"
#include "audio/AudioStreamInfo.h"
#include "audio/RenderPump.h"

class AudioBackend {
 public:
  explicit AudioBackend(AudioApi api);
  // Every API's destructor calls Close() itself: the thread calls its overrides.
  virtual ~AudioBackend();
  AudioBackend(const AudioBackend&) = delete;
  AudioBackend& operator=(const AudioBackend&) = delete;

  // Opens the device; on failure error says why, naming the API, and nothing is left open.
  bool Open(const AudioRequest& request, RenderCallback callback, std::string* error);
  bool Start(std::string* error);
  void Stop();
  void Close();

  const AudioStreamInfo& Info() const { return info_; }
  AudioStatsSnapshot Stats() const { return stats_.Snapshot(); }
  // The device failed while playing (unplugged, stopped answering): the feeding has ended.
  bool Failed() const { return failed_.load(); }
  std::string FailureText() const;

 protected:
  // On the audio thread. OpenDevice sets info_ and makes the pump; RunDevice feeds the device
  // until StopRequested() or a failure (Fail).
  virtual bool OpenDevice(const AudioRequest& request, std::string* error) = 0;
  virtual bool StartDevice(std::string* error) = 0;
  virtual void RunDevice() = 0;
  virtual void StopDevice() = 0;
  virtual void CloseDevice() = 0;

  bool StopRequested() const { return stopRequested_.load(); }
  HANDLE WakeEvent() const { return wake_; }  // set when a stop is asked for
  void Fail(const std::string& why);
  void MakePump(size_t chunkFrames);
  RenderPump& Pump() { return *pump_; }
  // "WASAPI shared mode: " + what.
  std::string Says(const std::string& what) const;
  std::string SaysResult(const char* call, long result) const;

  AudioStreamInfo info_;
  AudioStats stats_;

 private:
  enum class Command { None, Start, Stop, Close };
  void ThreadMain(AudioRequest request);
  void ServeCommands();
  Command WaitCommand();
  void Answer(bool ok, const std::string& text);
  bool Ask(Command command, std::string* text);
  bool WaitAnswer(std::string* text);

  HANDLE wake_;
  RenderCallback callback_;
  std::unique_ptr<RenderPump> pump_;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Command command_ = Command::None;
  bool answered_ = false;
  bool answerOk_ = false;
  std::string answerText_;
  std::string failure_;
  bool open_ = false;
  bool running_ = false;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> failed_{false};
};
