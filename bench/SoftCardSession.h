#pragma once
// What the software card's benchmarks share: the card's library, TWSYNTH.DLL beside the
// benchmark, loaded as the program loads it (its SoundFont engine beside a card's, its MIDI
// outputs behind the program's MIDI seam), its state kept in a file of the run's own so that
// nothing is restored, its first device found and its MIDI output opened as the preview opens
// it. Windows only.
#include "card/CardOperations.h"
#include "engine/SoundFontManager.h"
#include "midi/MidiOutPort.h"
#include "midi/SoftMidiLibrary.h"
#include "engine/SoftControl.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class CSoftCardSession {
public:
    // `audio`: the audio output the card is set to, as "API[:buffer ms]" ("wasapi",
    // "directsound:100"; the keys of audio/AudioApi.h), or "" for the card's own setting.
    // Made before anything else in the process touches the card.
    explicit CSoftCardSession(const std::string& audio);
    ~CSoftCardSession();

    // "" when the card answers, its MIDI output is open and its audio plays; else why not.
    const std::string& Problem() const { return m_problem; }

    CSoundFontManager& Engine() { return m_engine; }
    CCardOperations& Card() { return m_card; }
    int Device() const { return m_device; } // "Software Synth 1" among the engine's devices
    CMidiOutPort& Output() { return m_output; }
    const SoftControlTable& Control() const { return *m_control; }
    SoftCardAudioFigures Figures() const;

    // "WASAPI shared mode, 48000 Hz: period 480 frames (10.0 ms), buffer 1440 frames (30.0 ms),
    // latency 54.0 ms as the API says".
    std::string DescribeAudio() const;

private:
    // Sets the card's audio output and waits for it to open.
    void SetAudio(const std::string& audio);

    std::string m_statePath;
    std::unique_ptr<CSoftMidiLibrary> m_midi;
    CSoundFontManager m_engine;
    CCardOperations m_card {m_engine};
    int m_device = -1;
    CMidiOutPort m_output;
    const SoftControlTable* m_control = nullptr;
    std::string m_problem;
};

constexpr const char* kFluidFont = "Z:\\usr\\share\\sounds\\sf2\\FluidR3_GM.sf2";

// The steady clock's nanoseconds since its epoch, as the card's firstSoundNs counts them.
std::int64_t SteadyNs();
double MsBetween(std::int64_t fromNs, std::int64_t toNs);
// The CPU time of this process so far, user and kernel, in seconds.
double ProcessCpuSeconds();
