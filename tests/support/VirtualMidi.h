#pragma once
// A virtual MIDI system that stands in for winmm behind the ports' function table while it
// exists: input and output devices named by the test (names may repeat), a record of every
// short message sent and of the handle state it was sent on, failures on demand, and input
// delivered on a thread of its own.
//
// Like Windows, it delivers callbacks synchronously inside some calls: MIM_OPEN inside
// midiInOpen, and inside midiInStop and midiInClose every input still pending for that handle
// and then (close) MIM_CLOSE, on the calling thread, after waiting for a callback running on
// the delivery thread to end. A caller that holds something the callback needs while it stops
// or closes input therefore deadlocks here as it could on Windows; the wait is limited, and
// running into the limit is recorded as a violation instead of hanging the test.
//
// Only one instance may exist at a time. Handles still open when it is destroyed fail the
// running test.

#include <windows.h>

#include <mmsystem.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct WinMidiApi;

enum class MidiCall {
    OutGetDevCaps,
    OutOpen,
    OutClose,
    OutShortMsg,
    InGetDevCaps,
    InOpen,
    InClose,
    InStart,
    InStop,
};

// "midiOutOpen", "midiInStop", ...
const char* MidiCallName(MidiCall call);

// What a handle was when a call used it.
enum class HandleState {
    Open,
    Closing, // inside midiOutClose or midiInClose
    Closed,  // was open once and has been closed: a stale handle
    Null,
    Unknown, // never handed out
};

const char* HandleStateName(HandleState state);

struct SentMessage {
    DWORD word = 0;
    int device = -1; // the output device id the handle was opened on; -1 for Null or Unknown
    HMIDIOUT handle = nullptr;
    HandleState state = HandleState::Null;
    DWORD threadId = 0;
};

// One open, close, start or stop call (capability queries and sends are not listed here).
struct MidiCallRecord {
    MidiCall call = MidiCall::OutOpen;
    int device = -1; // -1 when the handle was not a valid one
    MMRESULT result = MMSYSERR_NOERROR;
    DWORD_PTR callback = 0; // open calls only
    DWORD_PTR instance = 0;
    DWORD flags = 0;
    DWORD threadId = 0;
};

struct DeliveredCallback {
    HMIDIIN handle = nullptr;
    int device = -1;
    UINT message = 0;
    DWORD_PTR param1 = 0;
    DWORD_PTR param2 = 0;
    DWORD threadId = 0;
};

class VirtualMidi {
public:
    static constexpr int kAnyDevice = -1;

    // Installs itself as the ports' winmm, with no devices.
    VirtualMidi();
    // Stops the delivery thread and restores the real winmm.
    ~VirtualMidi();
    VirtualMidi(const VirtualMidi&) = delete;
    VirtualMidi& operator=(const VirtualMidi&) = delete;

    // The devices in id order. A name longer than 31 characters fills the whole product-name
    // field without a terminator, as a careless driver might.
    void SetOutputDevices(std::vector<std::string> names);
    void SetInputDevices(std::vector<std::string> names);

    // The next `times` calls of `call` (for `device`, or any) fail with `code` and change
    // nothing. times < 0: until ClearFailures.
    void Fail(MidiCall call, MMRESULT code, int times = 1, int device = kAnyDevice);
    void ClearFailures();

    // Open/close/start/stop calls and sends, in order.
    std::vector<MidiCallRecord> Calls() const;
    std::vector<std::string> CallNames() const;
    std::vector<SentMessage> Sent() const;
    // The words sent on open handles, in order.
    std::vector<DWORD> SentWords() const;
    // What went wrong in the way the system was used: sends on closing, closed or unknown
    // handles, a stop or close that had to wait too long for a running callback, a stop or
    // close from inside a callback. Empty when all was well.
    std::vector<std::string> Violations() const;
    void ClearRecords();

    // Input arriving at input device `device`: queued for the delivery thread when the device
    // is open and started, dropped otherwise (as hardware input is while stopped).
    void Receive(int device, DWORD word, DWORD timestamp = 0);
    // Another message (MIM_LONGDATA, MIM_ERROR, ...) for an open input device.
    void Notify(int device, UINT message, DWORD_PTR param1 = 0, DWORD_PTR param2 = 0);
    int DroppedInput() const;
    // Holds queued input back until ResumeDelivery, so that a stop or close finds it pending.
    void PauseDelivery();
    void ResumeDelivery();
    // Until nothing is queued or running; false on time-out.
    bool WaitUntilDelivered(DWORD timeoutMs = 5000) const;
    std::vector<DeliveredCallback> Delivered() const;
    DWORD DeliveryThreadId() const { return m_deliveryThreadId; }

    // Keeps a closing output handle in the Closing state this long, to widen the window in
    // which a careless sender would hit it.
    void SetOutputCloseDelay(DWORD ms);
    // How long a stop or close waits for a running callback before it records a deadlock.
    void SetCallbackWaitLimit(DWORD ms);

    bool IsOutputOpen(int device) const;
    bool IsInputOpen(int device) const;
    bool IsInputStarted(int device) const;

private:
    struct OutHandle {
        int device = -1;
        HandleState state = HandleState::Open;
    };
    struct InHandle {
        int device = -1;
        HandleState state = HandleState::Open;
        bool started = false;
        bool stopping = false;
        DWORD_PTR callback = 0;
        DWORD_PTR instance = 0;
    };
    struct PendingInput {
        HMIDIIN handle = nullptr;
        UINT message = 0;
        DWORD_PTR param1 = 0;
        DWORD_PTR param2 = 0;
    };
    struct FailureRule {
        MidiCall call;
        MMRESULT code;
        int remaining;
        int device;
    };

    friend struct VirtualMidiEntryPoints;

    UINT OutGetNumDevs();
    MMRESULT OutGetDevCaps(UINT_PTR id, LPMIDIOUTCAPSA caps);
    MMRESULT OutOpen(LPHMIDIOUT handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                     DWORD flags);
    MMRESULT OutClose(HMIDIOUT handle);
    MMRESULT OutShortMsg(HMIDIOUT handle, DWORD word);
    UINT InGetNumDevs();
    MMRESULT InGetDevCaps(UINT_PTR id, LPMIDIINCAPSA caps);
    MMRESULT InOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                    DWORD flags);
    MMRESULT InClose(HMIDIIN handle);
    MMRESULT InStart(HMIDIIN handle);
    MMRESULT InStop(HMIDIIN handle);

    // Under m_mutex.
    bool TakeFailure(MidiCall call, int device, MMRESULT& code);
    // What an open of `device` answers before any handle is made.
    MMRESULT CheckOpen(MidiCall call, int device, std::size_t deviceCount, bool flagsSupported,
                       bool inUse);
    bool OutputInUse(int device) const;
    bool InputInUse(int device) const;
    void Record(MidiCall call, int device, MMRESULT result, DWORD_PTR callback = 0,
                DWORD_PTR instance = 0, DWORD flags = 0);
    InHandle* FindIn(HMIDIIN handle);
    HMIDIIN StartedInputOf(int device) const;
    // Takes the queued input of `handle` (the caller delivers it) and waits for its running
    // callback to end. Returns with the lock held.
    std::vector<PendingInput> DrainForStopOrClose(std::unique_lock<std::mutex>& lock,
                                                  HMIDIIN handle, const char* operation);

    // Without m_mutex.
    void Deliver(const PendingInput& input);
    void DeliveryLoop();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<std::string> m_outputNames;
    std::vector<std::string> m_inputNames;
    std::vector<FailureRule> m_failures;
    std::uintptr_t m_nextHandle = 0x1000;
    std::map<std::uintptr_t, OutHandle> m_outHandles;
    std::map<std::uintptr_t, InHandle> m_inHandles;
    std::vector<MidiCallRecord> m_calls;
    std::vector<SentMessage> m_sent;
    std::vector<std::string> m_violations;
    std::vector<DeliveredCallback> m_delivered;
    std::deque<PendingInput> m_queue;
    HMIDIIN m_running = nullptr; // the handle whose callback the delivery thread runs now
    bool m_paused = false;
    bool m_quit = false;
    int m_dropped = 0;
    DWORD m_outputCloseDelayMs = 0;
    DWORD m_callbackWaitLimitMs = 3000;
    DWORD m_deliveryThreadId = 0;
    std::thread m_deliveryThread;
};
