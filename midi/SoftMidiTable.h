#pragma once
// The MIDI outputs of the software card's library: one output for each of its devices, named
// like the device, exported beside `SFManager` as the data record `SoftMidiOutputs`. The
// library and the program's MIDI seam are both built on this one description. Results are
// winmm's own numbers, so a port reports them as it reports winmm's. Needs no Windows header.

#include "base/SoftCardLibrary.h"

#include <cstdint>

#if defined(_WIN32)
#define SOFT_MIDI_CALL __cdecl
#else
#define SOFT_MIDI_CALL
#endif

constexpr const char* kSoftMidiEntryName = "SoftMidiOutputs";
constexpr std::uint32_t kSoftMidiVersion = 1;

constexpr std::int32_t kSoftMidiOk = 0;             // MMSYSERR_NOERROR
constexpr std::int32_t kSoftMidiError = 1;          // MMSYSERR_ERROR
constexpr std::int32_t kSoftMidiBadDeviceId = 2;    // MMSYSERR_BADDEVICEID
constexpr std::int32_t kSoftMidiInvalidHandle = 5;  // MMSYSERR_INVALHANDLE: the output is not open
constexpr std::int32_t kSoftMidiNotReady = 67;      // MIDIERR_NOTREADY: the device's queue is full

// name, result, arguments.
#define SOFT_MIDI_OPERATIONS(OP)                                                                   \
    OP(OutputCount, std::uint32_t, ())                                                             \
    /* Writes as much of the name as fits in `room` with its zero; returns the name's length, */  \
    /* 0 for an output that doesn't exist. */                                                      \
    OP(OutputName, std::uint32_t, (std::uint32_t output, char* text, std::uint32_t room))          \
    OP(Open, std::int32_t, (std::uint32_t output))                                                 \
    /* Any thread; never blocks. The message packed status | d1 << 8 | d2 << 16. */                \
    OP(ShortMessage, std::int32_t, (std::uint32_t output, std::uint32_t message))                  \
    OP(Close, std::int32_t, (std::uint32_t output))

struct SoftMidiTable {
    std::uint32_t version;
#define SOFT_MIDI_DECLARE(name, result, arguments) result(SOFT_MIDI_CALL* name) arguments;
    SOFT_MIDI_OPERATIONS(SOFT_MIDI_DECLARE)
#undef SOFT_MIDI_DECLARE
};
