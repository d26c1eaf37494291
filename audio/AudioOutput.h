#pragma once
// The program's audio output: opens the first API of the request that has a device, at the
// device's own mix rate (Info().format.rate: render at it), and pulls frames from the render
// callback on an audio thread of its own while started.
#include <memory>
#include <string>

#include "audio/AudioStats.h"
#include "audio/AudioStreamInfo.h"
#include "audio/RenderPump.h"

class CAudioBackend;

class CAudioOutput {
public:
    CAudioOutput();
    ~CAudioOutput();
    CAudioOutput(const CAudioOutput&) = delete;
    CAudioOutput& operator=(const CAudioOutput&) = delete;

    // On failure error says, for every API tried, why it could not open, and nothing is open.
    bool Open(const AudioRequest& request, RenderCallback callback, std::string* error);
    bool Start(std::string* error);
    void Stop();
    // After Close has returned the callback is never called again.
    void Close();

    bool IsOpen() const { return m_backend != nullptr; }
    const AudioStreamInfo& Info() const;
    AudioStatsSnapshot Stats() const;
    // The open output's watch for the first sound; null while closed.
    CFirstSoundWatch* FirstSound();
    // The device failed while playing; the callback is no longer called.
    bool Failed() const;
    std::string FailureText() const;

private:
    std::unique_ptr<CAudioBackend> m_backend;
    AudioStreamInfo m_closed;
};
