#include "midi/WinMidiApi.h"

#include <atomic>

namespace {

const WinMidiApi kRealWinMidiApi = {
#define WINMM_REAL_FUNCTION(slot, function, result, parameters) function,
    WINMM_MIDI_FUNCTIONS(WINMM_REAL_FUNCTION)
#undef WINMM_REAL_FUNCTION
};

// Read on the MIDI input thread as well (sends from the input callback).
std::atomic<const WinMidiApi*> g_api{&kRealWinMidiApi};

} // namespace

const WinMidiApi& RealWinMidiApi()
{
    return kRealWinMidiApi;
}

const WinMidiApi& MidiApi()
{
    return *g_api.load(std::memory_order_acquire);
}

void SetMidiApi(const WinMidiApi* api)
{
    g_api.store(api ? api : &kRealWinMidiApi, std::memory_order_release);
}
