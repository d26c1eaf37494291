// Times the preview's input path, the work done on the MIDI input thread for every message
// received, and counts the heap allocations on it (there must be none):
//
//     bench_preview_input [events] [passes]
//
// The platform's send is replaced by a stub that only keeps the word, timed on its own so that
// it can be taken out of the figures. Measured:
//   - rewrite + gate: the forwarder's rules and the output handle's gate (both builds);
//   - sender: the preview sender through a real output port (Windows);
//   - whole callback: the platform's input callback with the input lock, the thru port, the
//     sender and the port (Windows).
//   - program changes: the mailbox that keeps the latest for the window (both builds), and the
//     poster that tells the window (Windows), once with every program posted and taken off the
//     window's queue again, once as a burst the window has not yet collected.
// Figures are the medians of the passes, in nanoseconds per event; every event is a note-on or
// a note-off, so every one is forwarded, except in the program change lines.
#include "bench/AllocationCount.h"
#include "midi/HandleGate.h"
#include "midi/PreviewForwarder.h"
#include "midi/ProgramChangeMailbox.h"

#ifdef _WIN32
#include "midi/MidiInPort.h"
#include "midi/PreviewSession.h"
#include "midi/ProgramChangePoster.h"
#include "midi/WinMidiApi.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The platform's send as far as the benchmark is concerned: keep the word so that nothing is
// optimised away.
std::uint32_t volatile g_lastWord = 0;

void StubSend(std::uintptr_t handle, std::uint32_t word)
{
    g_lastWord = word + static_cast<std::uint32_t>(handle);
}

// Note-ons and note-offs over the keyboard on all input channels, velocity 0 among them.
std::vector<std::uint32_t> InputWords()
{
    std::vector<std::uint32_t> words;
    for (std::uint32_t note = 0; note < 128; ++note) {
        const std::uint32_t channel = note % 16;
        words.push_back((0x90 | channel) | note << 8 | (note % 100 + 1) << 16);
        words.push_back((0x80 | channel) | note << 8 | 64u << 16);
        words.push_back((0x90 | channel) | note << 8);
    }
    return words;
}

// Program changes on all channels, over every program.
std::vector<std::uint32_t> ProgramWords()
{
    std::vector<std::uint32_t> words;
    for (std::uint32_t program = 0; program < 128; ++program)
        words.push_back((0xC0 | program % 16) | program << 8);
    return words;
}

struct Figure {
    double nsPerEvent;
    long allocations;
};

// Runs `forward` over `events` input words per pass; the median pass and the allocations made
// in all passes.
template <typename Forward>
Figure Time(const std::vector<std::uint32_t>& words, long events, int passes, Forward forward)
{
    for (long i = 0; i < events / 10; ++i) // warm-up
        forward(words[i % words.size()]);
    std::vector<double> perEvent;
    perEvent.reserve(passes); // so that the timing's own bookkeeping is not counted
    const long allocationsBefore = AllocationsSoFar();
    for (int pass = 0; pass < passes; ++pass) {
        const Clock::time_point start = Clock::now();
        std::size_t next = 0;
        for (long i = 0; i < events; ++i) {
            forward(words[next]);
            next = next + 1 == words.size() ? 0 : next + 1;
        }
        const std::chrono::duration<double, std::nano> took = Clock::now() - start;
        perEvent.push_back(took.count() / static_cast<double>(events));
    }
    const long allocations = AllocationsSoFar() - allocationsBefore;
    std::sort(perEvent.begin(), perEvent.end());
    return {perEvent[perEvent.size() / 2], allocations};
}

void Print(const char* what, const Figure& figure, double stubNs)
{
    std::printf("%-44s %8.1f ns/event  (%.1f without the stub send)  allocations: %ld\n", what,
                figure.nsPerEvent, figure.nsPerEvent - stubNs, figure.allocations);
}

#ifdef _WIN32
// A winmm with one output device that accepts every call and sends nowhere.
UINT WINAPI StubOutGetNumDevs() { return 1; }
MMRESULT WINAPI StubOutOpen(LPHMIDIOUT handle, UINT, DWORD_PTR, DWORD_PTR, DWORD)
{
    *handle = reinterpret_cast<HMIDIOUT>(0x1000);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI StubOutClose(HMIDIOUT) { return MMSYSERR_NOERROR; }
MMRESULT WINAPI StubOutShortMsg(HMIDIOUT handle, DWORD word)
{
    StubSend(reinterpret_cast<std::uintptr_t>(handle), word);
    return MMSYSERR_NOERROR;
}

WinMidiApi StubWinMidiApi()
{
    WinMidiApi api = RealWinMidiApi();
    api.outGetNumDevs = StubOutGetNumDevs;
    api.outOpen = StubOutOpen;
    api.outClose = StubOutClose;
    api.outShortMsg = StubOutShortMsg;
    return api;
}

void TimeProgramChangePoster(long events, int passes, double stubNs)
{
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    CProgramChangePoster poster;
    poster.Attach(window);
    const std::vector<std::uint32_t> programs = ProgramWords();
    // Each program is posted, collected and its message taken off the queue, as by the window.
    Print("program change: post, collect, unqueue", Time(programs, events / 100, passes, [&](std::uint32_t w) {
              poster.Offer(UnpackShortMessage(w, 0));
              poster.Collect();
              MSG message;
              PeekMessageA(&message, window, kProgramChangeMessage, kProgramChangeMessage, PM_REMOVE);
          }), stubNs);
    // A burst: one message is waiting, every further program only replaces the latest.
    Print("program change: burst, posted once", Time(programs, events, passes, [&](std::uint32_t w) {
              poster.Offer(UnpackShortMessage(w, 0));
          }), stubNs);
    poster.Attach(nullptr);
    DestroyWindow(window);
}

void TimeWindowsPaths(const std::vector<std::uint32_t>& words, long events, int passes,
                      const PreviewRouting& routing, double stubNs)
{
    static const WinMidiApi stub = StubWinMidiApi();
    SetMidiApi(&stub);
    {
        // The session the main window previews through, wired as the program ships it.
        CPreviewSession session;
        session.SetPlayableSelected(routing.playableSelected);
        session.SetChannel(routing.channel);
        session.SetOctave(routing.octave);
        if (session.Output().OpenPort(0) != 0) {
            std::printf("the stub output did not open\n");
            std::exit(1);
        }
        IPreviewInputReceiver& receiver = session.Receiver();
        Print("sender: rewrite, port, stub send", Time(words, events, passes, [&](std::uint32_t w) {
                  receiver.ForwardPreviewInput(UnpackShortMessage(w, 0));
              }), stubNs);

        // The input is never opened: the benchmark plays the platform's callback itself.
        CMidiInPort* listener = &session.Input();
        const DWORD_PTR instance = reinterpret_cast<DWORD_PTR>(&listener);
        Print("whole callback: lock, thru port, sender", Time(words, events, passes,
              [&](std::uint32_t w) { MidiInProc(nullptr, MIM_DATA, instance, w, 0); }), stubNs);
    }
    TimeProgramChangePoster(events, passes, stubNs);
    SetMidiApi(nullptr);
}
#endif

} // namespace

int main(int argc, char** argv)
{
    const long events = argc > 1 ? std::atol(argv[1]) : 10000000;
    const int passes = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::vector<std::uint32_t> words = InputWords();

    CPreviewForwarder forwarder;
    PreviewRouting routing;
    routing.playableSelected = true;
    routing.channel = 3;
    routing.octave = 1;
    forwarder.SetRouting(routing);

    std::printf("preview input path, %ld events per pass, median of %d passes\n", events, passes);
    const Figure stub = Time(words, events, passes, [](std::uint32_t w) { StubSend(1, w); });
    Print("loop + stub send alone", stub, stub.nsPerEvent);

    CHandleGate<std::uintptr_t> gate;
    gate.Publish(1);
    Print("rewrite + gate + stub send", Time(words, events, passes, [&](std::uint32_t w) {
              if (const std::optional<MidiShortMessage> m = forwarder.Rewrite(UnpackShortMessage(w, 0))) {
                  const std::uint32_t word = m->Packed();
                  gate.Borrow([word](std::uintptr_t handle) { StubSend(handle, word); });
              }
          }), stub.nsPerEvent);
    CProgramChangeMailbox mailbox;
    const std::vector<std::uint32_t> programs = ProgramWords();
    Print("program change: mailbox deposit", Time(programs, events, passes, [&](std::uint32_t w) {
              bool notify = false;
              mailbox.Deposit(UnpackShortMessage(w, 0), notify);
          }), stub.nsPerEvent);
#ifdef _WIN32
    TimeWindowsPaths(words, events, passes, routing, stub.nsPerEvent);
#endif
    return 0;
}
