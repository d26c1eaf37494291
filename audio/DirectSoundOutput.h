#pragma once
// DirectSound: a looping 16-bit secondary buffer, kept three quarters full by the audio
// thread, which wakes every quarter of the buffer. dsound.dll is loaded at run time, never
// imported, so a system without it still starts.
#include <windows.h>
#include <mmsystem.h> // WAVEFORMATEX, which dsound.h takes for granted
#include <dsound.h>

#include <cstdint>

#include "audio/AudioBackend.h"
#include "base/ComRef.h"
#include "audio/SystemLibrary.h"

class CDirectSoundOutput : public CAudioBackend {
public:
    CDirectSoundOutput();
    ~CDirectSoundOutput() override;

protected:
    bool OpenDevice(const AudioRequest& request, std::string* error) override;
    bool StartDevice(std::string* error) override;
    void RunDevice() override;
    void StopDevice() override;
    void CloseDevice() override;

private:
    bool CreateDevice(std::string* error);
    unsigned ChooseRate();
    bool CreateBuffer(unsigned bufferMs, std::string* error);
    bool Refill();
    bool WriteAt(DWORD offset, DWORD bytes);

    CSystemLibrary m_dsound;
    ComRef<IDirectSound> m_device;
    ComRef<IDirectSoundBuffer> m_buffer;
    DWORD m_bufferBytes = 0; // the whole loop
    DWORD m_queuedBytes = 0; // how much of it is kept queued
    DWORD m_frameBytes = 4;
    DWORD m_writeOffset = 0; // where the next frames go in the buffer
    DWORD m_lastPlay = 0; // the play cursor at the last look
    uint64_t m_written = 0; // bytes written since the start
    uint64_t m_played = 0; // bytes the play cursor has passed since the start
    DWORD m_stalledSince = 0; // tick count when the play cursor last stood still, or 0
};
