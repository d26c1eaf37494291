#pragma once
// WASAPI in shared mode (Vista and later), event driven, in the endpoint's own mix format
// (float, or 16-bit where the mix format is neither). Reached through COM only, so nothing
// is imported that Windows XP lacks; there the enumerator is simply not registered.
#include <audioclient.h>
#include <mmdeviceapi.h>

#include "audio/AudioBackend.h"
#include "audio/AudioComRef.h"

class WasapiOutput : public AudioBackend {
 public:
  WasapiOutput();
  ~WasapiOutput() override;

 protected:
  bool OpenDevice(const AudioRequest& request, std::string* error) override;
  bool StartDevice(std::string* error) override;
  void RunDevice() override;
  void StopDevice() override;
  void CloseDevice() override;

 private:
  bool ActivateClient(std::string* error);
  bool ChooseFormat(std::string* error);
  bool InitializeStream(unsigned bufferMs, std::string* error);
  bool FillAvailable(bool countLate);
  bool PlayedEverything();

  AudioComRef<IAudioClient> client_;
  AudioComRef<IAudioRenderClient> render_;
  AudioComRef<IAudioClock> clock_;
  UINT64 clockFrequency_ = 0;
  UINT64 framesWritten_ = 0;
  WAVEFORMATEX* mixFormat_ = nullptr;     // from GetMixFormat, CoTaskMemFree'd
  WAVEFORMATEXTENSIBLE chosen_{};         // what the stream is opened with
  HANDLE ready_ = nullptr;                // set by the endpoint when a period has played
};

// The endpoint's mix rate where WASAPI has a default output (0 elsewhere): DirectSound and
// waveOut render at it too, so every API plays at the rate the system mixes at. The calling
// thread has COM initialised.
unsigned WasapiMixRate();
