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

class CAudioBackend {
public:
    explicit CAudioBackend(AudioApi api);
    // Every API's destructor calls Close() itself: the thread calls its overrides.
    virtual ~CAudioBackend();
    CAudioBackend(const CAudioBackend&) = delete;
    CAudioBackend& operator=(const CAudioBackend&) = delete;

    // Opens the device; on failure error says why, naming the API, and nothing is left open.
    bool Open(const AudioRequest& request, RenderCallback callback, std::string* error);
    bool Start(std::string* error);
    void Stop();
    void Close();

    const AudioStreamInfo& Info() const { return m_info; }
    AudioStatsSnapshot Stats() const { return m_stats.Snapshot(); }
    CFirstSoundWatch& FirstSound() { return m_stats.FirstSound(); }
    // The device failed while playing (unplugged, stopped answering): the feeding has ended.
    bool Failed() const { return m_failed.load(); }
    std::string FailureText() const;

protected:
    // On the audio thread. OpenDevice sets m_info and makes the pump; RunDevice feeds the device
    // until StopRequested() or a failure (Fail).
    virtual bool OpenDevice(const AudioRequest& request, std::string* error) = 0;
    virtual bool StartDevice(std::string* error) = 0;
    virtual void RunDevice() = 0;
    virtual void StopDevice() = 0;
    virtual void CloseDevice() = 0;

    bool StopRequested() const { return m_stopRequested.load(); }
    HANDLE WakeEvent() const { return m_wake; } // set when a stop is asked for
    void Fail(const std::string& why);
    void MakePump(size_t chunkFrames);
    CRenderPump& Pump() { return *m_pump; }
    // "WASAPI shared mode: " + what.
    std::string Says(const std::string& what) const;
    std::string SaysResult(const char* call, long result) const;

    AudioStreamInfo m_info;
    CAudioStats m_stats;

private:
    enum class Command { None, Start, Stop, Close };
    void ThreadMain(AudioRequest request);
    void ServeCommands();
    Command WaitCommand();
    void Answer(bool ok, const std::string& text);
    bool Ask(Command command, std::string* text);
    bool WaitAnswer(std::string* text);

    HANDLE m_wake;
    RenderCallback m_callback;
    std::unique_ptr<CRenderPump> m_pump;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Command m_command = Command::None;
    bool m_answered = false;
    bool m_answerOk = false;
    std::string m_answerText;
    std::string m_failure;
    bool m_open = false;
    bool m_running = false;
    std::atomic<bool> m_stopRequested {false};
    std::atomic<bool> m_failed {false};
};
