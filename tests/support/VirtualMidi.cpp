#include "tests/support/VirtualMidi.h"

#include "midi/WinMidiApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

using MidiInCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

VirtualMidi* g_instance = nullptr;

template <typename Handle>
std::uintptr_t Key(Handle handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

// Copies a product name the way a driver fills the field: a name longer than the field
// leaves no terminator.
void FillProductName(char (&field)[MAXPNAMELEN], const std::string& name)
{
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name.data(), std::min(name.size(), sizeof field));
}

bool IsOpenOrClosing(HandleState state)
{
    return state == HandleState::Open || state == HandleState::Closing;
}

} // namespace

// The table entries: plain WINAPI functions that forward to the one instance.
struct VirtualMidiEntryPoints {
    static UINT WINAPI OutGetNumDevs() { return g_instance->OutGetNumDevs(); }
    static MMRESULT WINAPI OutGetDevCaps(UINT_PTR id, LPMIDIOUTCAPSA caps, UINT)
    {
        return g_instance->OutGetDevCaps(id, caps);
    }
    static MMRESULT WINAPI OutOpen(LPHMIDIOUT handle, UINT id, DWORD_PTR callback,
                                   DWORD_PTR instance, DWORD flags)
    {
        return g_instance->OutOpen(handle, id, callback, instance, flags);
    }
    static MMRESULT WINAPI OutClose(HMIDIOUT handle) { return g_instance->OutClose(handle); }
    static MMRESULT WINAPI OutShortMsg(HMIDIOUT handle, DWORD word)
    {
        return g_instance->OutShortMsg(handle, word);
    }
    static UINT WINAPI InGetNumDevs() { return g_instance->InGetNumDevs(); }
    static MMRESULT WINAPI InGetDevCaps(UINT_PTR id, LPMIDIINCAPSA caps, UINT)
    {
        return g_instance->InGetDevCaps(id, caps);
    }
    static MMRESULT WINAPI InOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback,
                                  DWORD_PTR instance, DWORD flags)
    {
        return g_instance->InOpen(handle, id, callback, instance, flags);
    }
    static MMRESULT WINAPI InClose(HMIDIIN handle) { return g_instance->InClose(handle); }
    static MMRESULT WINAPI InStart(HMIDIIN handle) { return g_instance->InStart(handle); }
    static MMRESULT WINAPI InStop(HMIDIIN handle) { return g_instance->InStop(handle); }

    static const WinMidiApi kTable;
};

const WinMidiApi VirtualMidiEntryPoints::kTable = {
    OutGetNumDevs, OutGetDevCaps, OutOpen,  OutClose, OutShortMsg, InGetNumDevs,
    InGetDevCaps,  InOpen,        InClose,  InStart,  InStop,
};

const char* MidiCallName(MidiCall call)
{
    switch (call) {
    case MidiCall::OutGetDevCaps: return "midiOutGetDevCaps";
    case MidiCall::OutOpen: return "midiOutOpen";
    case MidiCall::OutClose: return "midiOutClose";
    case MidiCall::OutShortMsg: return "midiOutShortMsg";
    case MidiCall::InGetDevCaps: return "midiInGetDevCaps";
    case MidiCall::InOpen: return "midiInOpen";
    case MidiCall::InClose: return "midiInClose";
    case MidiCall::InStart: return "midiInStart";
    case MidiCall::InStop: return "midiInStop";
    }
    return "?";
}

const char* HandleStateName(HandleState state)
{
    switch (state) {
    case HandleState::Open: return "open";
    case HandleState::Closing: return "closing";
    case HandleState::Closed: return "closed";
    case HandleState::Null: return "null";
    case HandleState::Unknown: return "unknown";
    }
    return "?";
}

VirtualMidi::VirtualMidi()
{
    if (g_instance)
        throw std::logic_error("only one VirtualMidi may exist at a time");
    g_instance = this;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_deliveryThread = std::thread([this] { DeliveryLoop(); });
    m_changed.wait(lock, [this] { return m_deliveryThreadId != 0; });
    lock.unlock();
    SetMidiApi(&VirtualMidiEntryPoints::kTable);
}

VirtualMidi::~VirtualMidi()
{
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_quit = true;
        m_changed.notify_all();
    }
    m_deliveryThread.join();
    SetMidiApi(nullptr);
    g_instance = nullptr;
    for (const auto& [key, handle] : m_outHandles)
        if (IsOpenOrClosing(handle.state))
            ADD_FAILURE() << "MIDI output device " << handle.device << " was left open";
    for (const auto& [key, handle] : m_inHandles)
        if (IsOpenOrClosing(handle.state))
            ADD_FAILURE() << "MIDI input device " << handle.device << " was left open";
}

void VirtualMidi::SetOutputDevices(std::vector<std::string> names)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_outputNames = std::move(names);
}

void VirtualMidi::SetInputDevices(std::vector<std::string> names)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_inputNames = std::move(names);
}

void VirtualMidi::Fail(MidiCall call, MMRESULT code, int times, int device)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_failures.push_back({call, code, times, device});
}

void VirtualMidi::ClearFailures()
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_failures.clear();
}

std::vector<MidiCallRecord> VirtualMidi::Calls() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_calls;
}

std::vector<std::string> VirtualMidi::CallNames() const
{
    std::vector<std::string> names;
    for (const MidiCallRecord& record : Calls())
        names.push_back(MidiCallName(record.call));
    return names;
}

std::vector<SentMessage> VirtualMidi::Sent() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_sent;
}

std::vector<DWORD> VirtualMidi::SentWords() const
{
    std::vector<DWORD> words;
    for (const SentMessage& message : Sent())
        if (message.state == HandleState::Open)
            words.push_back(message.word);
    return words;
}

std::vector<std::string> VirtualMidi::Violations() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_violations;
}

void VirtualMidi::ClearRecords()
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_calls.clear();
    m_sent.clear();
    m_violations.clear();
    m_delivered.clear();
    m_dropped = 0;
}

int VirtualMidi::DroppedInput() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_dropped;
}

std::vector<DeliveredCallback> VirtualMidi::Delivered() const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_delivered;
}

void VirtualMidi::SetOutputCloseDelay(DWORD ms)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_outputCloseDelayMs = ms;
}

void VirtualMidi::SetCallbackWaitLimit(DWORD ms)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_callbackWaitLimitMs = ms;
}

bool VirtualMidi::IsOutputOpen(int device) const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    for (const auto& [key, handle] : m_outHandles)
        if (handle.device == device && handle.state == HandleState::Open)
            return true;
    return false;
}

bool VirtualMidi::IsInputOpen(int device) const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    for (const auto& [key, handle] : m_inHandles)
        if (handle.device == device && handle.state == HandleState::Open)
            return true;
    return false;
}

bool VirtualMidi::IsInputStarted(int device) const
{
    std::lock_guard<std::mutex> hold(m_mutex);
    for (const auto& [key, handle] : m_inHandles)
        if (handle.device == device && handle.state == HandleState::Open && handle.started)
            return true;
    return false;
}

bool VirtualMidi::TakeFailure(MidiCall call, int device, MMRESULT& code)
{
    for (FailureRule& rule : m_failures) {
        if (rule.call != call || rule.remaining == 0 ||
            (rule.device != kAnyDevice && rule.device != device))
            continue;
        if (rule.remaining > 0)
            --rule.remaining;
        code = rule.code;
        return true;
    }
    return false;
}

void VirtualMidi::Record(MidiCall call, int device, MMRESULT result, DWORD_PTR callback,
                         DWORD_PTR instance, DWORD flags)
{
    m_calls.push_back({call, device, result, callback, instance, flags, GetCurrentThreadId()});
}

MMRESULT VirtualMidi::CheckOpen(MidiCall call, int device, std::size_t deviceCount,
                                bool flagsSupported, bool inUse)
{
    MMRESULT failure;
    if (device < 0 || static_cast<std::size_t>(device) >= deviceCount)
        return MMSYSERR_BADDEVICEID;
    if (TakeFailure(call, device, failure))
        return failure;
    if (!flagsSupported)
        return MMSYSERR_INVALFLAG;
    return inUse ? MMSYSERR_ALLOCATED : MMSYSERR_NOERROR;
}

bool VirtualMidi::OutputInUse(int device) const
{
    for (const auto& [key, handle] : m_outHandles)
        if (handle.device == device && IsOpenOrClosing(handle.state))
            return true;
    return false;
}

bool VirtualMidi::InputInUse(int device) const
{
    for (const auto& [key, handle] : m_inHandles)
        if (handle.device == device && IsOpenOrClosing(handle.state))
            return true;
    return false;
}

// ---- Output ----

UINT VirtualMidi::OutGetNumDevs()
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return static_cast<UINT>(m_outputNames.size());
}

MMRESULT VirtualMidi::OutGetDevCaps(UINT_PTR id, LPMIDIOUTCAPSA caps)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    if (id >= m_outputNames.size())
        return MMSYSERR_BADDEVICEID;
    MMRESULT failure;
    if (TakeFailure(MidiCall::OutGetDevCaps, static_cast<int>(id), failure))
        return failure;
    *caps = MIDIOUTCAPSA{};
    FillProductName(caps->szPname, m_outputNames[id]);
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidi::OutOpen(LPHMIDIOUT handle, UINT id, DWORD_PTR callback,
                              DWORD_PTR instance, DWORD flags)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    *handle = nullptr;
    const int device = static_cast<int>(id);
    const MMRESULT result = CheckOpen(MidiCall::OutOpen, device, m_outputNames.size(),
                                      flags == CALLBACK_NULL, OutputInUse(device));
    if (result == MMSYSERR_NOERROR) {
        m_nextHandle += 0x10;
        m_outHandles[m_nextHandle] = OutHandle{device, HandleState::Open};
        *handle = reinterpret_cast<HMIDIOUT>(m_nextHandle);
    }
    Record(MidiCall::OutOpen, device, result, callback, instance, flags);
    return result;
}

MMRESULT VirtualMidi::OutClose(HMIDIOUT handle)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    auto found = m_outHandles.find(Key(handle));
    if (found == m_outHandles.end() || found->second.state != HandleState::Open) {
        Record(MidiCall::OutClose, -1, MMSYSERR_INVALHANDLE);
        return MMSYSERR_INVALHANDLE;
    }
    OutHandle& closing = found->second;
    MMRESULT result = MMSYSERR_NOERROR;
    TakeFailure(MidiCall::OutClose, closing.device, result);
    Record(MidiCall::OutClose, closing.device, result);
    if (result != MMSYSERR_NOERROR)
        return result;
    closing.state = HandleState::Closing;
    const DWORD delay = m_outputCloseDelayMs;
    lock.unlock();
    Sleep(delay);
    lock.lock();
    closing.state = HandleState::Closed;
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidi::OutShortMsg(HMIDIOUT handle, DWORD word)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    SentMessage sent;
    sent.word = word;
    sent.handle = handle;
    sent.threadId = GetCurrentThreadId();
    sent.state = HandleState::Null;
    if (handle) {
        auto found = m_outHandles.find(Key(handle));
        sent.state = found == m_outHandles.end() ? HandleState::Unknown : found->second.state;
        sent.device = found == m_outHandles.end() ? -1 : found->second.device;
    }
    m_sent.push_back(sent);
    if (sent.state == HandleState::Open) {
        MMRESULT failure = MMSYSERR_NOERROR;
        TakeFailure(MidiCall::OutShortMsg, sent.device, failure);
        return failure;
    }
    if (sent.state != HandleState::Null) {
        char violation[128];
        std::snprintf(violation, sizeof violation,
                      "midiOutShortMsg on %s %s handle (output %d, word 0x%08lX)",
                      sent.state == HandleState::Unknown ? "an" : "a",
                      HandleStateName(sent.state), sent.device, word);
        m_violations.push_back(violation);
    }
    return MMSYSERR_INVALHANDLE;
}

// ---- Input ----

UINT VirtualMidi::InGetNumDevs()
{
    std::lock_guard<std::mutex> hold(m_mutex);
    return static_cast<UINT>(m_inputNames.size());
}

MMRESULT VirtualMidi::InGetDevCaps(UINT_PTR id, LPMIDIINCAPSA caps)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    if (id >= m_inputNames.size())
        return MMSYSERR_BADDEVICEID;
    MMRESULT failure;
    if (TakeFailure(MidiCall::InGetDevCaps, static_cast<int>(id), failure))
        return failure;
    *caps = MIDIINCAPSA{};
    FillProductName(caps->szPname, m_inputNames[id]);
    return MMSYSERR_NOERROR;
}

VirtualMidi::InHandle* VirtualMidi::FindIn(HMIDIIN handle)
{
    auto found = m_inHandles.find(Key(handle));
    if (found == m_inHandles.end() || found->second.state != HandleState::Open)
        return nullptr;
    return &found->second;
}

HMIDIIN VirtualMidi::StartedInputOf(int device) const
{
    for (const auto& [key, handle] : m_inHandles)
        if (handle.device == device && handle.state == HandleState::Open && handle.started &&
            !handle.stopping)
            return reinterpret_cast<HMIDIIN>(key);
    return nullptr;
}

MMRESULT VirtualMidi::InOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                             DWORD flags)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    *handle = nullptr;
    const int device = static_cast<int>(id);
    const MMRESULT result =
        CheckOpen(MidiCall::InOpen, device, m_inputNames.size(),
                  flags == CALLBACK_FUNCTION || flags == CALLBACK_NULL, InputInUse(device));
    Record(MidiCall::InOpen, device, result, callback, instance, flags);
    if (result != MMSYSERR_NOERROR)
        return result;
    m_nextHandle += 0x10;
    InHandle opened;
    opened.device = device;
    opened.callback = flags == CALLBACK_FUNCTION ? callback : 0;
    opened.instance = instance;
    m_inHandles[m_nextHandle] = opened;
    *handle = reinterpret_cast<HMIDIIN>(m_nextHandle);
    lock.unlock();
    // Windows sends MIM_OPEN from inside midiInOpen, on the opening thread.
    Deliver({*handle, MIM_OPEN, 0, 0});
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidi::InStart(HMIDIIN handle)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    InHandle* starting = FindIn(handle);
    if (!starting) {
        Record(MidiCall::InStart, -1, MMSYSERR_INVALHANDLE);
        return MMSYSERR_INVALHANDLE;
    }
    MMRESULT result = MMSYSERR_NOERROR;
    TakeFailure(MidiCall::InStart, starting->device, result);
    Record(MidiCall::InStart, starting->device, result);
    if (result == MMSYSERR_NOERROR)
        starting->started = true;
    return result;
}

std::vector<VirtualMidi::PendingInput>
VirtualMidi::DrainForStopOrClose(std::unique_lock<std::mutex>& lock, HMIDIIN handle,
                                 const char* operation)
{
    // Taken before the wait, so that the delivery thread starts nothing more for this handle.
    m_inHandles[Key(handle)].stopping = true;
    std::vector<PendingInput> pending;
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it->handle == handle) {
            pending.push_back(*it);
            it = m_queue.erase(it);
        } else {
            ++it;
        }
    }
    m_changed.notify_all();
    if (GetCurrentThreadId() == m_deliveryThreadId) {
        m_violations.push_back(std::string(operation) + " from inside an input callback");
        return pending;
    }
    const bool ended =
        m_changed.wait_for(lock, std::chrono::milliseconds(m_callbackWaitLimitMs),
                           [this, handle] { return m_running != handle; });
    if (!ended)
        m_violations.push_back(std::string(operation) +
                               " waited too long for a running input callback: the caller "
                               "holds something the callback needs (deadlock)");
    return pending;
}

MMRESULT VirtualMidi::InStop(HMIDIIN handle)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    InHandle* stopping = FindIn(handle);
    if (!stopping) {
        Record(MidiCall::InStop, -1, MMSYSERR_INVALHANDLE);
        return MMSYSERR_INVALHANDLE;
    }
    MMRESULT result = MMSYSERR_NOERROR;
    TakeFailure(MidiCall::InStop, stopping->device, result);
    Record(MidiCall::InStop, stopping->device, result);
    if (result != MMSYSERR_NOERROR)
        return result;
    std::vector<PendingInput> pending = DrainForStopOrClose(lock, handle, "midiInStop");
    lock.unlock();
    for (const PendingInput& input : pending)
        Deliver(input);
    lock.lock();
    InHandle& stopped = m_inHandles[Key(handle)];
    stopped.started = false;
    stopped.stopping = false;
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidi::InClose(HMIDIIN handle)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    InHandle* closing = FindIn(handle);
    if (!closing) {
        Record(MidiCall::InClose, -1, MMSYSERR_INVALHANDLE);
        return MMSYSERR_INVALHANDLE;
    }
    MMRESULT result = MMSYSERR_NOERROR;
    TakeFailure(MidiCall::InClose, closing->device, result);
    Record(MidiCall::InClose, closing->device, result);
    if (result != MMSYSERR_NOERROR)
        return result;
    std::vector<PendingInput> pending = DrainForStopOrClose(lock, handle, "midiInClose");
    m_inHandles[Key(handle)].state = HandleState::Closing;
    lock.unlock();
    for (const PendingInput& input : pending)
        Deliver(input);
    Deliver({handle, MIM_CLOSE, 0, 0});
    lock.lock();
    InHandle& closed = m_inHandles[Key(handle)];
    closed.state = HandleState::Closed;
    closed.started = false;
    closed.stopping = false;
    return MMSYSERR_NOERROR;
}

void VirtualMidi::Receive(int device, DWORD word, DWORD timestamp)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    HMIDIIN handle = StartedInputOf(device);
    if (!handle) {
        ++m_dropped;
        return;
    }
    m_queue.push_back({handle, MIM_DATA, word, timestamp});
    m_changed.notify_all();
}

void VirtualMidi::Notify(int device, UINT message, DWORD_PTR param1, DWORD_PTR param2)
{
    std::lock_guard<std::mutex> hold(m_mutex);
    for (const auto& [key, handle] : m_inHandles) {
        if (handle.device == device && handle.state == HandleState::Open && !handle.stopping) {
            m_queue.push_back({reinterpret_cast<HMIDIIN>(key), message, param1, param2});
            m_changed.notify_all();
            return;
        }
    }
    ++m_dropped;
}

void VirtualMidi::PauseDelivery()
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_paused = true;
}

void VirtualMidi::ResumeDelivery()
{
    std::lock_guard<std::mutex> hold(m_mutex);
    m_paused = false;
    m_changed.notify_all();
}

bool VirtualMidi::WaitUntilDelivered(DWORD timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_queue.empty() && !m_running; });
}

void VirtualMidi::Deliver(const PendingInput& input)
{
    DWORD_PTR callback = 0;
    DWORD_PTR instance = 0;
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        const InHandle& handle = m_inHandles[Key(input.handle)];
        callback = handle.callback;
        instance = handle.instance;
        m_delivered.push_back({input.handle, handle.device, input.message, input.param1,
                               input.param2, GetCurrentThreadId()});
    }
    if (callback)
        reinterpret_cast<MidiInCallback>(callback)(input.handle, input.message, instance,
                                                   input.param1, input.param2);
}

void VirtualMidi::DeliveryLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_deliveryThreadId = GetCurrentThreadId();
    m_changed.notify_all();
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || (!m_paused && !m_queue.empty()); });
        if (m_quit)
            return;
        PendingInput input = m_queue.front();
        m_queue.pop_front();
        m_running = input.handle;
        lock.unlock();
        Deliver(input);
        lock.lock();
        m_running = nullptr;
        m_changed.notify_all();
    }
}
