#include "softcard/SoftAudio.h"

#include "audio/AudioOutput.h"
#include "synth/Synthesizer.h"

#include <windows.h>

namespace {

bool AudioTurnedOff()
{
    wchar_t value[8] = {};
    DWORD length = GetEnvironmentVariableW(L"TONEWELL_SOFTCARD_NO_AUDIO", value, 8);
    return length > 0 && length < 8 && value[0] != L'0';
}

} // namespace

CSoftAudio::CSoftAudio(std::vector<CSynthesizer*> synths)
    : m_mixer(synths)
    , m_synths(std::move(synths))
{
}

CSoftAudio::~CSoftAudio()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_reopener.joinable())
        m_reopener.join();
}

void CSoftAudio::Open(const AudioRequest& request)
{
    OpenNow(request);
}

// The old output is closed first: once it returned no render runs, and the synthesizers take
// the new device's rate before the new one starts.
void CSoftAudio::OpenNow(const AudioRequest& request)
{
    std::unique_ptr<CAudioOutput> old;
    {
        std::lock_guard<std::mutex> hold(m_outputLock);
        old = std::move(m_output);
    }
    old.reset();
    std::string error;
    auto output = std::make_unique<CAudioOutput>();
    CSoftMixer* mixer = &m_mixer;
    if (AudioTurnedOff()) {
        error = "no audio output: TONEWELL_SOFTCARD_NO_AUDIO is set";
    } else if (output->Open(request, [mixer](float* stereo, std::size_t frames) { mixer->Render(stereo, frames); },
                            &error)) {
        for (CSynthesizer* synth : m_synths)
            synth->SetSampleRate(output->Info().format.rate);
        if (output->Start(&error)) {
            error.clear();
            std::lock_guard<std::mutex> hold(m_outputLock);
            m_output = std::move(output);
        }
    }
    std::lock_guard<std::mutex> hold(m_lock);
    m_failure = error;
}

void CSoftAudio::Reopen(const AudioRequest& request)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_pending = request;
        ++m_asked;
        if (!m_reopener.joinable())
            m_reopener = std::thread([this] { ReopenLoop(); });
    }
    m_changed.notify_all();
}

void CSoftAudio::ReopenLoop()
{
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_changed.wait(hold, [this] { return m_stopping || m_done != m_asked; });
        if (m_stopping)
            return;
        const AudioRequest request = m_pending;
        const std::uint64_t asked = m_asked;
        hold.unlock();
        OpenNow(request);
        hold.lock();
        m_done = asked;
        m_changed.notify_all();
    }
}

void CSoftAudio::WaitUntilSettled()
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return m_stopping || m_done == m_asked; });
}

std::string CSoftAudio::Failure() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_failure;
}

bool CSoftAudio::Figures(AudioStreamInfo* info, AudioStatsSnapshot* stats, std::int64_t* firstSoundNs) const
{
    std::lock_guard<std::mutex> hold(m_outputLock);
    if (!m_output)
        return false;
    *info = m_output->Info();
    *stats = m_output->Stats();
    *firstSoundNs = m_output->FirstSound()->HandedAtNs();
    return true;
}

void CSoftAudio::WatchFirstSound()
{
    std::lock_guard<std::mutex> hold(m_outputLock);
    if (m_output)
        m_output->FirstSound()->Arm();
}
