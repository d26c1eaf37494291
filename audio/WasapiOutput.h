#pragma once
// WASAPI in shared mode (Vista and later), event driven, in the endpoint's own mix format
// (float, or 16-bit where the mix format is neither). Reached through COM only, so nothing
// is imported that Windows XP lacks; there the enumerator is simply not registered. The buffer
// asked for sizes the endpoint's buffer; at most two periods of it are kept queued.
#include <audioclient.h>
#include <mmdeviceapi.h>

#include "audio/AudioBackend.h"
#include "base/ComRef.h"

class CWasapiOutput : public CAudioBackend {
public:
    CWasapiOutput();
    ~CWasapiOutput() override;

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
    bool FillPiece(UINT32 frames);
    UINT32 QueueLimit() const;
    bool PlayedEverything();

    ComRef<IAudioClient> m_client;
    ComRef<IAudioRenderClient> m_render;
    ComRef<IAudioClock> m_clock;
    UINT64 m_clockFrequency = 0;
    UINT64 m_framesWritten = 0;
    WAVEFORMATEX* m_mixFormat = nullptr; // from GetMixFormat, CoTaskMemFree'd
    WAVEFORMATEXTENSIBLE m_chosen {}; // what the stream is opened with
    HANDLE m_ready = nullptr; // set by the endpoint when a period has played
};

// The endpoint's mix rate where WASAPI has a default output (0 elsewhere): DirectSound and
// waveOut render at it too, so every API plays at the rate the system mixes at. The calling
// thread has COM initialised.
unsigned WasapiMixRate();
