#pragma once
// waveOut (winmm, every Windows): a ring of 16-bit buffers, each refilled and queued again by
// the audio thread as soon as the driver says it has been played.
#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "audio/AudioBackend.h"

class CWaveOutOutput : public CAudioBackend {
public:
    CWaveOutOutput();
    ~CWaveOutOutput() override;

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

    HWAVEOUT m_wave = nullptr;
    HANDLE m_done = nullptr; // set by the driver when a buffer has been played
    std::vector<char> m_samples;
    WAVEHDR m_ring[kRingLength] = {};
    bool m_prepared[kRingLength] = {};
};
