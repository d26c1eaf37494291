#pragma once
// waveOut (winmm, every Windows): a ring of 16-bit buffers, each refilled and queued again by
// the audio thread as soon as the driver says it has been played.
#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "audio/AudioBackend.h"

class WaveOutOutput : public AudioBackend {
 public:
  WaveOutOutput();
  ~WaveOutOutput() override;

 protected:
  bool OpenDevice(const AudioRequest& request, std::string* error) override;
  bool StartDevice(std::string* error) override;
  void RunDevice() override;
  void StopDevice() override;
  void CloseDevice() override;

 private:
  static constexpr unsigned kRingLength = 4;
  bool PrepareRing(std::string* error);
  bool Queue(WAVEHDR& header);
  bool RefillPlayed();
  std::string SaysError(const char* call, MMRESULT result) const;

  HWAVEOUT wave_ = nullptr;
  HANDLE done_ = nullptr;  // set by the driver when a buffer has been played
  std::vector<char> samples_;
  WAVEHDR ring_[kRingLength] = {};
  bool prepared_[kRingLength] = {};
};
