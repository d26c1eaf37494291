#include "midi/WinMidiApi.h"

#include <atomic>

namespace {

const WinMidiApi kRealWinMidiApi = {
    midiOutGetNumDevs, midiOutGetDevCapsA, midiOutOpen, midiOutClose, midiOutShortMsg,
    midiInGetNumDevs,  midiInGetDevCapsA,  midiInOpen,  midiInClose,  midiInStart,
    midiInStop,
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
