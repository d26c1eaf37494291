#pragma once
// The software card's settings and the waits tests need, exported beside `SFManager` as the
// data record `SoftCardControl`. Described once, so the library and its users can't disagree.
// The program reaches it through the library it loaded (LoadedSoftControl).

#include "engine/SfmInterface.h"
#include "engine/SoftCardSettings.h"

#include <cstdint>

constexpr const char* kSoftControlName = "SoftCardControl";

// The card's audio output as benchmarks see it.
struct SoftCardAudioFigures {
    char api[32];              // "WASAPI shared mode"; "" while nothing plays
    std::uint32_t rate;
    std::uint32_t periodFrames;
    std::uint32_t bufferFrames;
    double latencyMs;          // as far as the API says
    std::uint64_t buffers;     // handed to the API
    std::uint64_t lateBuffers; // found the device had played everything
    double fillToQueueMeanUs;
    double fillToQueueMaxUs;
    std::uint32_t voices;      // sounding now, on every device
    std::int64_t firstSoundNs; // see WatchFirstSound; 0 until then
};

// name, result, arguments.
#define SOFT_CONTROLS(OP)                                                                  \
    /* Every device's sound memory budget in bytes, kept with the card's state. */        \
    OP(SetSoundMemory, SfmResult, (std::uint32_t bytes))                                  \
    /* Returns once the banks remembered from the last run have their sound again. */     \
    OP(WaitUntilRestored, void, ())                                                       \
    /* Why the card can't be heard (no audio device): its length, 0 while it plays. */   \
    OP(AudioFailure, std::uint32_t, (char* text, std::uint32_t room))                     \
    /* Where the card keeps its state, as UTF-8; returns the path's length. */            \
    OP(StatePath, std::uint32_t, (char* text, std::uint32_t room))                        \
    /* The card's own settings, as its state file keeps them. */                          \
    OP(GetSettings, SfmResult, (SoftCardSettings* settings))                              \
    /* Takes what differs from the card's settings; a record with any value out of its   \
       range (CheckSoftCardSettings) is refused whole with kSfmUndefinedError. A new      \
       audio output or buffer length reopens the output on a thread of the card's own. */ \
    OP(SetSettings, SfmResult, (const SoftCardSettings* settings))                        \
    /* Returns once the audio output asked for last is open (or failed to open). */       \
    OP(WaitUntilAudioSettled, void, ())                                                   \
    /* The audio output's figures; 0, and "" for the API, while nothing plays. */        \
    OP(AudioFigures, std::uint32_t, (SoftCardAudioFigures* figures))                      \
    /* From now, looks for the first sound rendered; once the buffer holding it is       \
       handed to the audio API, firstSoundNs is that time, in std::chrono::steady_clock  \
       nanoseconds since its epoch. Call it between sounds. */                            \
    OP(WatchFirstSound, void, ())

struct SoftControlTable {
#define SOFT_DECLARE_CONTROL(name, result, arguments) result(SFM_CALL* name) arguments;
    SOFT_CONTROLS(SOFT_DECLARE_CONTROL)
#undef SOFT_DECLARE_CONTROL
};
