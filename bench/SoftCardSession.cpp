#include "bench/SoftCardSession.h"

#include "audio/AudioApi.h"
#include "engine/LoadedSoftControl.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char kDeviceName[] = "Software Synth 1";

std::string TempStatePath()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    char path[MAX_PATH + 64];
    std::snprintf(path, sizeof path, "%stonewell-bench-%lu.state", folder, GetCurrentProcessId());
    return path;
}

} // namespace

CSoftCardSession::CSoftCardSession(const std::string& audio) : m_statePath(TempStatePath())
{
    DeleteFileA(m_statePath.c_str());
    SetEnvironmentVariableA("TONEWELL_SOFTCARD_STATE", m_statePath.c_str());
    m_midi = std::make_unique<CSoftMidiLibrary>();
    if (!m_midi->IsLoaded()) {
        m_problem = m_midi->Failure();
        return;
    }
    m_engine.Initialize();
    if (m_engine.SoftCardResult().Failed() || !m_engine.FindDevice(kDeviceName, m_device)) {
        m_problem = std::string("the software card's engine has no ") + kDeviceName;
        return;
    }
    m_control = LoadedSoftControl();
    std::int32_t output = -1;
    if (!m_control) {
        m_problem = "the software card exports no controls";
    } else if (m_output.FindDevice(kDeviceName, output) != 0 || m_output.OpenPort(output) != 0) {
        m_problem = std::string("the MIDI output ") + kDeviceName + " could not be opened";
    } else {
        SetAudio(audio);
        if (m_problem.empty())
            m_problem = SoftCardAudioFailure();
    }
}

void CSoftCardSession::SetAudio(const std::string& audio)
{
    if (audio.empty())
        return;
    const std::size_t colon = audio.find(':');
    AudioApiChoice choice = AudioApiChoice::Automatic;
    SoftCardSettings settings;
    if (!ParseAudioApiChoice(audio.substr(0, colon), &choice) || m_control->GetSettings(&settings) != kSfmSuccess) {
        m_problem = "no such audio output: " + audio;
        return;
    }
    const SoftAudioApi apis[] = {kSoftAudioAutomatic, kSoftAudioWasapi, kSoftAudioDirectSound, kSoftAudioWaveOut};
    settings.audioApi = apis[static_cast<int>(choice)];
    if (colon != std::string::npos)
        settings.bufferMs = static_cast<std::uint32_t>(std::atoi(audio.c_str() + colon + 1));
    if (m_control->SetSettings(&settings) != kSfmSuccess) {
        m_problem = "the card refused the audio output " + audio;
        return;
    }
    m_control->WaitUntilAudioSettled();
}

CSoftCardSession::~CSoftCardSession()
{
    if (m_output.IsOpen())
        m_output.ClosePort();
    DeleteFileA(m_statePath.c_str());
}

SoftCardAudioFigures CSoftCardSession::Figures() const
{
    SoftCardAudioFigures figures {};
    if (m_control)
        m_control->AudioFigures(&figures);
    return figures;
}

std::string CSoftCardSession::DescribeAudio() const
{
    const SoftCardAudioFigures figures = Figures();
    const double rate = figures.rate ? figures.rate : 1;
    char text[256];
    std::snprintf(text, sizeof text,
        "%s, %u Hz: period %u frames (%.1f ms), buffer %u frames (%.1f ms), latency %.1f ms as the API says",
        figures.api, figures.rate, figures.periodFrames, 1000.0 * figures.periodFrames / rate, figures.bufferFrames,
        1000.0 * figures.bufferFrames / rate, figures.latencyMs);
    return text;
}

std::int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double MsBetween(std::int64_t fromNs, std::int64_t toNs)
{
    return static_cast<double>(toNs - fromNs) / 1e6;
}

double ProcessCpuSeconds()
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user))
        return 0;
    auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}
