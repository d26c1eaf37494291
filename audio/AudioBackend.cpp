#include "audio/AudioBackend.h"

#include <objbase.h>

#include <cstdio>

#include "audio/AudioThreadPriority.h"

CAudioBackend::CAudioBackend(AudioApi api)
    : m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    m_info.api = api;
}

CAudioBackend::~CAudioBackend()
{
    Close();
    if (m_wake)
        CloseHandle(m_wake);
}

bool CAudioBackend::Open(const AudioRequest& request, RenderCallback callback, std::string* error)
{
    if (m_open)
        return true;
    if (!m_wake) {
        *error = Says("no event could be made");
        return false;
    }
    m_callback = std::move(callback);
    m_answered = false;
    m_thread = std::thread([this, request] { ThreadMain(request); });
    m_open = WaitAnswer(error);
    if (!m_open)
        m_thread.join();
    return m_open;
}

bool CAudioBackend::Start(std::string* error)
{
    if (!m_open) {
        *error = Says("not open");
        return false;
    }
    if (m_running)
        return true;
    m_stopRequested = false;
    m_running = Ask(Command::Start, error);
    return m_running;
}

void CAudioBackend::Stop()
{
    if (!m_open || !m_running)
        return;
    m_stopRequested = true;
    SetEvent(m_wake);
    std::string ignored;
    Ask(Command::Stop, &ignored);
    m_running = false;
}

void CAudioBackend::Close()
{
    if (!m_open)
        return;
    Stop();
    std::string ignored;
    Ask(Command::Close, &ignored);
    m_thread.join();
    m_open = false;
}

std::string CAudioBackend::FailureText() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}

void CAudioBackend::Fail(const std::string& why)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_failure.empty())
            m_failure = why;
    }
    m_failed = true;
}

void CAudioBackend::MakePump(size_t chunkFrames)
{
    m_pump = std::make_unique<CRenderPump>(m_callback, m_info.format, chunkFrames, &m_stats.FirstSound());
}

std::string CAudioBackend::Says(const std::string& what) const
{
    return std::string(AudioApiName(m_info.api)) + ": " + what;
}

std::string CAudioBackend::SaysResult(const char* call, long result) const
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return Says(std::string(call) + " failed (" + code + ")");
}

void CAudioBackend::ThreadMain(AudioRequest request)
{
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CAudioThreadPriority priority;
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
    m_pump.reset();
    if (SUCCEEDED(com))
        CoUninitialize();
}

void CAudioBackend::ServeCommands()
{
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
        bool started = !m_failed && StartDevice(&error);
        Answer(started, m_failed ? FailureText() : error);
        if (started) {
            RunDevice();
            StopDevice();
        }
    }
}

CAudioBackend::Command CAudioBackend::WaitCommand()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_command != Command::None; });
    Command command = m_command;
    m_command = Command::None;
    return command;
}

void CAudioBackend::Answer(bool ok, const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answered = true;
    m_answerOk = ok;
    m_answerText = text;
    m_changed.notify_all();
}

bool CAudioBackend::Ask(Command command, std::string* text)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answered = false;
        m_command = command;
        m_changed.notify_all();
    }
    return WaitAnswer(text);
}

bool CAudioBackend::WaitAnswer(std::string* text)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_answered; });
    *text = m_answerText;
    return m_answerOk;
}
