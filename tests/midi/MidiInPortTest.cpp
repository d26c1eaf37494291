#include "midi/MidiInPort.h"
#include "midi/MidiInputLock.h"
#include "midi/MidiResult.h"
#include "midi/MidiThruPort.h"
#include "tests/support/VirtualMidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// How an event reached the handler.
struct Received {
    MidiInputEvent event;
    DWORD threadId;
    bool underInputLock;
};

Received Observe(MidiInputEvent event)
{
    return {event, GetCurrentThreadId(), midiInputLock.IsHeldByCurrentThread()};
}

class RecordingInPort : public CMidiInPort {
public:
    ~RecordingInPort() override { Shutdown(); }
    void OnMidiMessage(MidiInputEvent event) override { received.push_back(Observe(event)); }
    std::vector<Received> received;
};

class RecordingReceiver : public IPreviewInputReceiver {
public:
    void ForwardPreviewInput(MidiInputEvent event) override { received.push_back(Observe(event)); }
    std::vector<Received> received;
};

class MidiInPortTest : public testing::Test {
protected:
    MidiInPortTest() { midi.SetInputDevices({"Keys", "USB MIDI", "Keys"}); }

    std::vector<UINT> DeliveredMessages() const
    {
        std::vector<UINT> messages;
        for (const DeliveredCallback& callback : midi.Delivered())
            messages.push_back(callback.message);
        return messages;
    }

    VirtualMidi midi;
};

TEST_F(MidiInPortTest, ANewPortIsClosedAndStoppedAndReportsNoError)
{
    CMidiInPort port;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.IsStarted());
    EXPECT_STREQ(port.GetErrorText(), "No Error");
    EXPECT_EQ(port.StopInput(), kMidiOk);
    EXPECT_EQ(port.ClosePort(), kMidiOk);
    EXPECT_THAT(midi.CallNames(), IsEmpty());
}

TEST_F(MidiInPortTest, OpensWithTheCallbackAndTheAddressOfItsListener)
{
    CMidiInPort port;
    ASSERT_EQ(port.OpenPort(1), kMidiOk);
    EXPECT_TRUE(midi.IsInputOpen(1));
    const std::vector<MidiCallRecord> calls = midi.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].callback, reinterpret_cast<DWORD_PTR>(MidiInProc));
    EXPECT_EQ(calls[0].flags, static_cast<DWORD>(CALLBACK_FUNCTION));
    // The instance value leads to the port itself.
    ASSERT_NE(calls[0].instance, 0u);
    EXPECT_EQ(*reinterpret_cast<CMidiInPort* const*>(calls[0].instance), &port);
}

struct InCase {
    const char* name;
    bool openBefore;
    bool startBefore;
    MidiCall failCall;
    MMRESULT failCode; // 0: nothing fails
    int (*step)(CMidiInPort&);
    int result;
    bool open;
    bool started;
    std::vector<std::string> calls;
};

TEST_F(MidiInPortTest, StatesChangeOnlyWhenThePlatformAgrees)
{
    const InCase cases[] = {
        {"open", false, false, MidiCall::InOpen, 0, [](CMidiInPort& p) { return p.OpenPort(2); },
         kMidiOk, true, false, {"midiInOpen"}},
        {"reopen closes first", true, false, MidiCall::InOpen, 0,
         [](CMidiInPort& p) { return p.OpenPort(0); }, kMidiOk, true, false,
         {"midiInClose", "midiInOpen"}},
        {"a refused id still closes the open port", true, false, MidiCall::InOpen, 0,
         [](CMidiInPort& p) { return p.OpenPort(-1); }, kMidiBadDeviceId, false, false,
         {"midiInClose"}},
        {"id equal to the count", false, false, MidiCall::InOpen, 0,
         [](CMidiInPort& p) { return p.OpenPort(3); }, kMidiBadDeviceId, false, false, {}},
        {"open refused by the platform", false, false, MidiCall::InOpen, MMSYSERR_ALLOCATED,
         [](CMidiInPort& p) { return p.OpenPort(0); }, kMidiPlatformFailed, false, false,
         {"midiInOpen"}},
        {"reopen whose close fails", true, false, MidiCall::InClose, MMSYSERR_NOMEM,
         [](CMidiInPort& p) { return p.OpenPort(1); }, kMidiPlatformFailed, true, false,
         {"midiInClose"}},
        {"start", true, false, MidiCall::InStart, 0, [](CMidiInPort& p) { return p.StartInput(); },
         kMidiOk, true, true, {"midiInStart"}},
        {"start when started calls nothing", true, true, MidiCall::InStart, 0,
         [](CMidiInPort& p) { return p.StartInput(); }, kMidiOk, true, true, {}},
        {"start refused", true, false, MidiCall::InStart, MMSYSERR_NOMEM,
         [](CMidiInPort& p) { return p.StartInput(); }, kMidiPlatformFailed, true, false,
         {"midiInStart"}},
        {"stop", true, true, MidiCall::InStop, 0, [](CMidiInPort& p) { return p.StopInput(); },
         kMidiOk, true, false, {"midiInStop"}},
        {"stop refused keeps input started", true, true, MidiCall::InStop, MMSYSERR_NOMEM,
         [](CMidiInPort& p) { return p.StopInput(); }, kMidiPlatformFailed, true, true,
         {"midiInStop"}},
        {"stop when stopped calls nothing", true, false, MidiCall::InStop, 0,
         [](CMidiInPort& p) { return p.StopInput(); }, kMidiOk, true, false, {}},
        {"close", true, false, MidiCall::InClose, 0, [](CMidiInPort& p) { return p.ClosePort(); },
         kMidiOk, false, false, {"midiInClose"}},
        {"close refused keeps the port open", true, false, MidiCall::InClose, MMSYSERR_NOMEM,
         [](CMidiInPort& p) { return p.ClosePort(); }, kMidiPlatformFailed, true, false,
         {"midiInClose"}},
    };
    for (const InCase& c : cases) {
        SCOPED_TRACE(c.name);
        {
            CMidiInPort port;
            if (c.openBefore) {
                ASSERT_EQ(port.OpenPort(1), kMidiOk);
            }
            if (c.startBefore) {
                ASSERT_EQ(port.StartInput(), kMidiOk);
            }
            midi.ClearRecords();
            if (c.failCode != 0)
                midi.Fail(c.failCall, c.failCode);

            EXPECT_EQ(c.step(port), c.result);
            EXPECT_EQ(port.IsOpen(), c.open);
            EXPECT_EQ(port.IsStarted(), c.started);
            EXPECT_EQ(midi.CallNames(), c.calls);
            EXPECT_EQ(port.LastResult(), c.result == kMidiPlatformFailed ? c.failCode : 0u);
        }
        midi.ClearFailures();
        EXPECT_THAT(midi.Violations(), IsEmpty());
    }
}

TEST_F(MidiInPortTest, StartingAPortThatWasNeverOpenedFailsWithAnInvalidHandle)
{
    CMidiInPort port;
    EXPECT_EQ(port.StartInput(), kMidiPlatformFailed);
    EXPECT_FALSE(port.IsStarted());
    EXPECT_STREQ(port.GetErrorText(), "The specified device handle is invalid");
}

TEST_F(MidiInPortTest, DestroyingAStartedPortStopsItThenClosesIt)
{
    {
        CMidiInPort port;
        ASSERT_EQ(port.OpenPort(0), kMidiOk);
        ASSERT_EQ(port.StartInput(), kMidiOk);
    }
    {
        CMidiThruPort thru;
        ASSERT_EQ(thru.OpenPort(1), kMidiOk);
        ASSERT_EQ(thru.StartInput(), kMidiOk);
    }
    EXPECT_THAT(midi.CallNames(), ElementsAre("midiInOpen", "midiInStart", "midiInStop",
                                              "midiInClose", "midiInOpen", "midiInStart",
                                              "midiInStop", "midiInClose"));
    EXPECT_FALSE(midi.IsInputOpen(0));
    EXPECT_FALSE(midi.IsInputOpen(1));
}

TEST_F(MidiInPortTest, NamesAndDuplicatesAreFoundAsOnTheOutputSide)
{
    CMidiInPort port;
    std::vector<std::string> names(1, "stale");
    port.ListDeviceNames(names, false);
    EXPECT_THAT(names, ElementsAre("Keys", "USB MIDI", "Keys"));
    std::int32_t id = 77;
    EXPECT_EQ(port.FindDevice("Keys", id), kMidiOk);
    EXPECT_EQ(id, 2);
    EXPECT_EQ(port.FindDevice("keys", id), kMidiNoSuchDevice);
    EXPECT_EQ(id, 2);
    std::string name;
    midi.Fail(MidiCall::InGetDevCaps, MMSYSERR_INVALPARAM);
    EXPECT_EQ(port.GetDeviceName(1, name), kMidiPlatformFailed);
    EXPECT_STREQ(port.GetErrorText(), "The specified pointer or structure is invalid");
    EXPECT_EQ(port.GetDeviceName(1, name), kMidiOk);
    EXPECT_EQ(name, "USB MIDI");
}

struct EventCase {
    DWORD word;
    DWORD timestamp;
    std::uint8_t status, data1, data2;
};

TEST_F(MidiInPortTest, DataArrivesInOrderOnTheDeliveryThreadUnderTheInputLock)
{
    const EventCase cases[] = {
        {0x00643C91, 1234, 0x91, 0x3C, 0x64}, // note on 60, velocity 100
        {0x00003C81, 1300, 0x81, 0x3C, 0x00},
        {0xAB7F00B0, 1301, 0xB0, 0x00, 0x7F}, // the top byte is ignored
        {0x000000F8, 0xFFFFFFFF, 0xF8, 0x00, 0x00},
    };
    RecordingInPort port;
    ASSERT_EQ(port.OpenPort(1), kMidiOk);
    ASSERT_EQ(port.StartInput(), kMidiOk);
    for (const EventCase& c : cases)
        midi.Receive(1, c.word, c.timestamp);
    ASSERT_TRUE(midi.WaitUntilDelivered());

    ASSERT_EQ(port.received.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "event " << i);
        const Received& r = port.received[i];
        EXPECT_EQ(r.event.status, cases[i].status);
        EXPECT_EQ(r.event.data1, cases[i].data1);
        EXPECT_EQ(r.event.data2, cases[i].data2);
        EXPECT_EQ(r.event.timestamp, cases[i].timestamp);
        EXPECT_EQ(r.threadId, midi.DeliveryThreadId());
        EXPECT_TRUE(r.underInputLock);
    }
}

TEST_F(MidiInPortTest, EveryOtherMessageIsIgnored)
{
    RecordingInPort port;
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    ASSERT_EQ(port.StartInput(), kMidiOk);
    for (UINT message : {MIM_LONGDATA, MIM_ERROR, MIM_LONGERROR, MIM_MOREDATA})
        midi.Notify(0, message, 0x00643C91, 5);
    ASSERT_TRUE(midi.WaitUntilDelivered());
    ASSERT_EQ(port.StopInput(), kMidiOk);
    ASSERT_EQ(port.ClosePort(), kMidiOk);

    EXPECT_THAT(DeliveredMessages(), ElementsAre(MIM_OPEN, MIM_LONGDATA, MIM_ERROR, MIM_LONGERROR,
                                                 MIM_MOREDATA, MIM_CLOSE));
    EXPECT_THAT(port.received, IsEmpty());
}

// A callback takes the input lock for any message, not only for data: while the test holds
// the lock, a notification cannot finish.
TEST_F(MidiInPortTest, EveryCallbackWaitsForTheInputLock)
{
    CMidiInPort port;
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    ASSERT_EQ(port.StartInput(), kMidiOk);
    {
        std::lock_guard<CCriticalSection> hold(midiInputLock);
        midi.Notify(0, MIM_ERROR);
        EXPECT_FALSE(midi.WaitUntilDelivered(200));
        midi.Receive(0, 0x00403C90);
        EXPECT_FALSE(midi.WaitUntilDelivered(100));
    }
    EXPECT_TRUE(midi.WaitUntilDelivered());
}

class ThrowingInPort : public CMidiInPort {
public:
    void OnMidiMessage(MidiInputEvent) override { throw std::runtime_error("handler failed"); }
};

TEST_F(MidiInPortTest, TheInputLockIsReleasedWhenAHandlerThrows)
{
    ThrowingInPort port;
    CMidiInPort* listener = &port;
    EXPECT_THROW(MidiInProc(nullptr, MIM_DATA, reinterpret_cast<DWORD_PTR>(&listener),
                            0x00643C91, 0),
                 std::runtime_error);
    EXPECT_FALSE(midiInputLock.IsHeldByCurrentThread());
    // The lock is recursive, so only another thread can tell whether it was left held.
    bool takenElsewhere = false;
    std::thread other([&] {
        takenElsewhere = midiInputLock.try_lock();
        if (takenElsewhere)
            midiInputLock.unlock();
    });
    other.join();
    EXPECT_TRUE(takenElsewhere);
}

TEST_F(MidiInPortTest, InputIsDroppedWhileStoppedAndAPlainPortDropsWhatItGets)
{
    CMidiInPort plain;
    ASSERT_EQ(plain.OpenPort(0), kMidiOk);
    midi.Receive(0, 0x00643C90);
    EXPECT_EQ(midi.DroppedInput(), 1);
    ASSERT_EQ(plain.StartInput(), kMidiOk);
    midi.Receive(0, 0x00643C90);
    ASSERT_TRUE(midi.WaitUntilDelivered());
    ASSERT_EQ(plain.StopInput(), kMidiOk);
    midi.Receive(0, 0x00003C80);
    EXPECT_EQ(midi.DroppedInput(), 2);
    EXPECT_THAT(DeliveredMessages(), ElementsAre(MIM_OPEN, MIM_DATA));
}

// Windows may deliver what is still pending from inside the stop or close call, on the
// calling thread: the handler then runs on the user-interface thread, still under the lock.
TEST_F(MidiInPortTest, PendingInputIsDeliveredInsideStopOnTheCallingThread)
{
    RecordingInPort port;
    ASSERT_EQ(port.OpenPort(2), kMidiOk);
    ASSERT_EQ(port.StartInput(), kMidiOk);
    midi.PauseDelivery();
    midi.Receive(2, 0x00643C91);
    midi.Receive(2, 0x00003C81);
    EXPECT_THAT(port.received, IsEmpty());

    ASSERT_EQ(port.StopInput(), kMidiOk);
    midi.ResumeDelivery();
    ASSERT_EQ(port.received.size(), 2u);
    for (const Received& r : port.received) {
        EXPECT_EQ(r.threadId, GetCurrentThreadId());
        EXPECT_TRUE(r.underInputLock);
    }
    EXPECT_EQ(port.received[0].event.status, 0x91);
    EXPECT_EQ(port.received[1].event.status, 0x81);
    ASSERT_EQ(port.ClosePort(), kMidiOk);
    EXPECT_THAT(midi.Violations(), IsEmpty());
}

// A stop waits for a callback that is running on the delivery thread; the port holds nothing
// that callback needs, so the stop ends once the callback has.
TEST_F(MidiInPortTest, StopWaitsForARunningCallbackWithoutDeadlock)
{
    class SlowInPort : public CMidiInPort {
    public:
        ~SlowInPort() override { Shutdown(); }
        void OnMidiMessage(MidiInputEvent) override
        {
            entered.store(true);
            while (!stopCalled.load())
                Sleep(1);
            Sleep(50);
            finished.store(true);
        }
        std::atomic<bool> entered{false};
        std::atomic<bool> stopCalled{false};
        std::atomic<bool> finished{false};
    };
    midi.SetCallbackWaitLimit(5000);
    SlowInPort port;
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    ASSERT_EQ(port.StartInput(), kMidiOk);
    midi.Receive(0, 0x00643C90);
    while (!port.entered.load())
        Sleep(1);
    port.stopCalled.store(true);
    EXPECT_EQ(port.StopInput(), kMidiOk);
    EXPECT_TRUE(port.finished.load());
    EXPECT_EQ(port.ClosePort(), kMidiOk);
    EXPECT_THAT(midi.Violations(), IsEmpty());
}

TEST_F(MidiInPortTest, TheThruPortPassesBytesButNotTheTimestampToItsOwner)
{
    RecordingReceiver owner;
    CMidiThruPort thru;
    ASSERT_EQ(thru.OpenPort(0), kMidiOk);
    ASSERT_EQ(thru.StartInput(), kMidiOk);
    // Without an owner the event is dropped.
    midi.Receive(0, 0x00403C90, 10);
    ASSERT_TRUE(midi.WaitUntilDelivered());
    thru.SetOwner(&owner);
    midi.Receive(0, 0x00643C91, 1234);
    midi.Receive(0, 0x004000E0, 1240); // pitch bend, centre
    ASSERT_TRUE(midi.WaitUntilDelivered());

    ASSERT_EQ(owner.received.size(), 2u);
    const Received& first = owner.received[0];
    EXPECT_EQ(first.event.status, 0x91);
    EXPECT_EQ(first.event.data1, 0x3C);
    EXPECT_EQ(first.event.data2, 0x64);
    EXPECT_EQ(first.event.timestamp, 0u);
    EXPECT_EQ(first.threadId, midi.DeliveryThreadId());
    EXPECT_TRUE(first.underInputLock);
    EXPECT_EQ(owner.received[1].event.status, 0xE0);
    EXPECT_EQ(owner.received[1].event.data2, 0x40);
}

} // namespace
