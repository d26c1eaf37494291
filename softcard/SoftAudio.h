#pragma once
// The software card's one audio output, which every device's synthesizer plays through (the
// mixer sums them), and the thread that opens it again when the card's audio settings change:
// the caller never waits for a device to open, and the audio callback takes no lock.
//
// Tests make the card silent with TONEWELL_SOFTCARD_NO_AUDIO=1 in the environment: the
// output is then never opened, as on a PC without an audio device, and the failure says so.

#include "audio/AudioStats.h"
#include "audio/AudioStreamInfo.h"
#include "softcard/SoftMixer.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CAudioOutput;
class CSynthesizer;

class CSoftAudio {
public:
    // The synthesizers must outlive this object.
    explicit CSoftAudio(std::vector<CSynthesizer*> synths);
    ~CSoftAudio();
    CSoftAudio(const CSoftAudio&) = delete;
    CSoftAudio& operator=(const CSoftAudio&) = delete;

    // On the caller's thread, at the card's start: the failure is known when it returns.
    void Open(const AudioRequest& request);
    // On the reopening thread; a request not yet begun gives way to a newer one.
    void Reopen(const AudioRequest& request);
    // Until the last request made is open, or failed to open.
    void WaitUntilSettled();
    // Why nothing can be heard; "" while the output plays.
    std::string Failure() const;
    // The output's stream and figures, and when it handed the first sound watched for (0
    // until then); false while nothing plays.
    bool Figures(AudioStreamInfo* info, AudioStatsSnapshot* stats, std::int64_t* firstSoundNs) const;
    // Looks for the next sound rendered (audio/FirstSoundWatch.h).
    void WatchFirstSound();

private:
    void OpenNow(const AudioRequest& request);
    void ReopenLoop();

    CSoftMixer m_mixer;
    std::vector<CSynthesizer*> m_synths;
    std::unique_ptr<CAudioOutput> m_output; // the reopening thread's, once it runs
    mutable std::mutex m_outputLock; // while m_output is changed, and while others read it

    mutable std::mutex m_lock; // what follows
    std::condition_variable m_changed;
    std::string m_failure;
    AudioRequest m_pending;
    std::uint64_t m_asked = 0;
    std::uint64_t m_done = 0;
    bool m_stopping = false;
    std::thread m_reopener;
};
