#include "audio/AudioOutput.h"

#include "audio/DirectSoundOutput.h"
#include "audio/WasapiOutput.h"
#include "audio/WaveOutOutput.h"

namespace {

std::unique_ptr<CAudioBackend> MakeBackend(AudioApi api)
{
    switch (api) {
    case AudioApi::Wasapi:
        return std::make_unique<CWasapiOutput>();
    case AudioApi::DirectSound:
        return std::make_unique<CDirectSoundOutput>();
    case AudioApi::WaveOut:
        return std::make_unique<CWaveOutOutput>();
    }
    return nullptr;
}

} // namespace

CAudioOutput::CAudioOutput() = default;

CAudioOutput::~CAudioOutput()
{
    Close();
}

bool CAudioOutput::Open(const AudioRequest& request, RenderCallback callback, std::string* error)
{
    Close();
    std::string reasons;
    for (AudioApi api : AudioApisToTry(request.api, request.fallBack)) {
        std::unique_ptr<CAudioBackend> backend = MakeBackend(api);
        std::string why;
        if (backend->Open(request, callback, &why)) {
            m_backend = std::move(backend);
            return true;
        }
        reasons += (reasons.empty() ? "" : "; ") + why;
    }
    *error = "No audio output could be opened: " + reasons;
    return false;
}

bool CAudioOutput::Start(std::string* error)
{
    if (!m_backend) {
        *error = "No audio output is open";
        return false;
    }
    return m_backend->Start(error);
}

void CAudioOutput::Stop()
{
    if (m_backend)
        m_backend->Stop();
}

void CAudioOutput::Close()
{
    if (!m_backend)
        return;
    m_backend->Close();
    m_backend.reset();
}

const AudioStreamInfo& CAudioOutput::Info() const
{
    return m_backend ? m_backend->Info() : m_closed;
}

AudioStatsSnapshot CAudioOutput::Stats() const
{
    return m_backend ? m_backend->Stats() : AudioStatsSnapshot {};
}

CFirstSoundWatch* CAudioOutput::FirstSound()
{
    return m_backend ? &m_backend->FirstSound() : nullptr;
}

bool CAudioOutput::Failed() const
{
    return m_backend && m_backend->Failed();
}

std::string CAudioOutput::FailureText() const
{
    return m_backend ? m_backend->FailureText() : "";
}
