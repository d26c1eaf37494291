#include "midi/CompositeMidiApi.h"

#include "midi/WinMidiApi.h"

#include <atomic>
#include <cstring>

namespace {

// Outputs of the software card beyond this are not offered.
constexpr UINT kMaxSoftOutputs = 64;
// What a software output's handle points at: one byte each, never read.
char g_softHandles[kMaxSoftOutputs];

std::atomic<const WinMidiApi*> g_base{nullptr};
std::atomic<const SoftMidiTable*> g_soft{nullptr};

const WinMidiApi& Base()
{
    return *g_base.load(std::memory_order_acquire);
}

UINT SoftCount()
{
    UINT count = g_soft.load(std::memory_order_acquire)->OutputCount();
    return count < kMaxSoftOutputs ? count : kMaxSoftOutputs;
}

HMIDIOUT SoftHandle(UINT output)
{
    return reinterpret_cast<HMIDIOUT>(&g_softHandles[output]);
}

// The software output a handle (or a handle passed as an id) stands for, or false.
bool SoftOutputOf(UINT_PTR handle, UINT& output)
{
    const auto first = reinterpret_cast<UINT_PTR>(&g_softHandles[0]);
    if (handle < first || handle >= first + kMaxSoftOutputs)
        return false;
    output = static_cast<UINT>(handle - first);
    return true;
}

UINT WINAPI Composite_outGetNumDevs()
{
    return Base().outGetNumDevs() + SoftCount();
}

MMRESULT SoftCaps(UINT output, LPMIDIOUTCAPSA caps, UINT capsSize)
{
    if (!caps || capsSize < sizeof(MIDIOUTCAPSA))
        return MMSYSERR_INVALPARAM;
    if (output >= SoftCount())
        return MMSYSERR_BADDEVICEID;
    std::memset(caps, 0, sizeof *caps);
    g_soft.load(std::memory_order_acquire)->OutputName(output, caps->szPname, MAXPNAMELEN);
    caps->wTechnology = MOD_SWSYNTH;
    caps->wVoices = 256;
    caps->wNotes = 256;
    caps->wChannelMask = 0xFFFF;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Composite_outGetDevCaps(UINT_PTR id, LPMIDIOUTCAPSA caps, UINT capsSize)
{
    UINT output = 0;
    if (SoftOutputOf(id, output))
        return SoftCaps(output, caps, capsSize);
    const UINT baseCount = Base().outGetNumDevs();
    // Ids past both lists and handles of the underlying table are the underlying table's to answer.
    if (id >= baseCount && id - baseCount < SoftCount())
        return SoftCaps(static_cast<UINT>(id - baseCount), caps, capsSize);
    return Base().outGetDevCaps(id, caps, capsSize);
}

MMRESULT WINAPI Composite_outOpen(LPHMIDIOUT handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    const UINT baseCount = Base().outGetNumDevs();
    if (id == MIDI_MAPPER || id < baseCount)
        return Base().outOpen(handle, id, callback, instance, flags);
    const UINT output = id - baseCount;
    if (output >= SoftCount())
        return MMSYSERR_BADDEVICEID;
    if (!handle)
        return MMSYSERR_INVALPARAM;
    // The software outputs call no one back.
    if ((flags & CALLBACK_TYPEMASK) != CALLBACK_NULL)
        return MMSYSERR_INVALFLAG;
    MMRESULT result = g_soft.load(std::memory_order_acquire)->Open(output);
    if (result == MMSYSERR_NOERROR)
        *handle = SoftHandle(output);
    return result;
}

MMRESULT WINAPI Composite_outClose(HMIDIOUT handle)
{
    UINT output = 0;
    if (SoftOutputOf(reinterpret_cast<UINT_PTR>(handle), output))
        return g_soft.load(std::memory_order_acquire)->Close(output);
    return Base().outClose(handle);
}

MMRESULT WINAPI Composite_outShortMsg(HMIDIOUT handle, DWORD message)
{
    UINT output = 0;
    if (SoftOutputOf(reinterpret_cast<UINT_PTR>(handle), output))
        return g_soft.load(std::memory_order_acquire)->ShortMessage(output, message);
    return Base().outShortMsg(handle, message);
}

UINT WINAPI Composite_inGetNumDevs()
{
    return Base().inGetNumDevs();
}

MMRESULT WINAPI Composite_inGetDevCaps(UINT_PTR id, LPMIDIINCAPSA caps, UINT capsSize)
{
    return Base().inGetDevCaps(id, caps, capsSize);
}

MMRESULT WINAPI Composite_inOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    return Base().inOpen(handle, id, callback, instance, flags);
}

MMRESULT WINAPI Composite_inClose(HMIDIIN handle)
{
    return Base().inClose(handle);
}

MMRESULT WINAPI Composite_inStart(HMIDIIN handle)
{
    return Base().inStart(handle);
}

MMRESULT WINAPI Composite_inStop(HMIDIIN handle)
{
    return Base().inStop(handle);
}

// Filled by slot name, so two functions of the same signature can't trade places.
const WinMidiApi kCompositeApi = {
#define COMPOSITE_SLOT(slot, function, result, parameters) Composite_##slot,
    WINMM_MIDI_FUNCTIONS(COMPOSITE_SLOT)
#undef COMPOSITE_SLOT
};

} // namespace

void InstallSoftMidiOutputs(const SoftMidiTable* soft)
{
    if (!soft)
        return;
    if (&MidiApi() != &kCompositeApi)
        g_base.store(&MidiApi(), std::memory_order_release);
    g_soft.store(soft, std::memory_order_release);
    SetMidiApi(&kCompositeApi);
}

void RemoveSoftMidiOutputs()
{
    if (&MidiApi() == &kCompositeApi)
        SetMidiApi(g_base.load(std::memory_order_acquire));
}
