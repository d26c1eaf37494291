#include "midi/MidiOutPort.h"
#include "midi/MidiResult.h"
#include "tests/support/VirtualMidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class MidiOutPortTest : public testing::Test {
protected:
    MidiOutPortTest() { midi.SetOutputDevices({"Synth A", "MPU-401", "Synth B"}); }

    // Leaves a platform code in the port's last result, so that tests can see it unchanged.
    void MarkLastResult(CMidiOutPort& port, MMRESULT code)
    {
        midi.Fail(MidiCall::OutGetDevCaps, code);
        std::string name;
        ASSERT_EQ(port.GetDeviceName(0, name), kMidiPlatformFailed);
        ASSERT_EQ(port.LastResult(), code);
    }

    VirtualMidi midi;
};

TEST_F(MidiOutPortTest, ANewPortIsClosedAndReportsNoError)
{
    CMidiOutPort port;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.DeviceId(), 0);
    EXPECT_STREQ(port.GetErrorText(), "No Error");
    EXPECT_EQ(port.ClosePort(), kMidiOk);
    EXPECT_THAT(midi.CallNames(), IsEmpty());
}

struct OpenCase {
    const char* name;
    int openBefore; // -1: the port starts closed
    MidiCall failCall;
    MMRESULT failCode; // 0: nothing fails
    std::int32_t id;
    int result;
    int openAfter; // the device open afterwards, -1 none
    std::vector<std::string> calls;
    MMRESULT lastResult;
};

TEST_F(MidiOutPortTest, OpenClosesAnOpenDeviceFirstAndReportsFailures)
{
    constexpr MMRESULT kMark = 6; // an earlier failure, to see the last result kept
    const OpenCase cases[] = {
        {"open a closed port", -1, MidiCall::OutOpen, 0, 1, kMidiOk, 1, {"midiOutOpen"}, 0},
        {"reopen the same device", 1, MidiCall::OutOpen, 0, 1, kMidiOk, 1,
         {"midiOutClose", "midiOutOpen"}, 0},
        {"switch to another device", 0, MidiCall::OutOpen, 0, 2, kMidiOk, 2,
         {"midiOutClose", "midiOutOpen"}, 0},
        {"id equal to the count", 1, MidiCall::OutOpen, 0, 3, kMidiBadDeviceId, 1, {}, kMark},
        {"negative id", 1, MidiCall::OutOpen, 0, -1, kMidiBadDeviceId, 1, {}, kMark},
        {"platform refuses the open", -1, MidiCall::OutOpen, MMSYSERR_ALLOCATED, 0,
         kMidiPlatformFailed, -1, {"midiOutOpen"}, MMSYSERR_ALLOCATED},
        {"closing the open device fails", 0, MidiCall::OutClose, MMSYSERR_NOMEM, 2,
         kMidiPlatformFailed, 0, {"midiOutClose"}, MMSYSERR_NOMEM},
        {"reopening fails after the close", 0, MidiCall::OutOpen, MMSYSERR_INVALHANDLE, 0,
         kMidiPlatformFailed, -1, {"midiOutClose", "midiOutOpen"}, MMSYSERR_INVALHANDLE},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        {
            CMidiOutPort port;
            if (c.openBefore >= 0) {
                ASSERT_EQ(port.OpenPort(c.openBefore), kMidiOk);
            }
            MarkLastResult(port, kMark);
            midi.ClearRecords();
            if (c.failCode != 0)
                midi.Fail(c.failCall, c.failCode);

            EXPECT_EQ(port.OpenPort(c.id), c.result);
            EXPECT_EQ(port.IsOpen(), c.openAfter >= 0);
            for (int device = 0; device < 3; ++device)
                EXPECT_EQ(midi.IsOutputOpen(device), device == c.openAfter) << device;
            EXPECT_EQ(midi.CallNames(), c.calls);
            EXPECT_EQ(port.LastResult(), c.lastResult);
            for (const MidiCallRecord& call : midi.Calls()) {
                if (call.call != MidiCall::OutOpen)
                    continue;
                EXPECT_EQ(call.device, c.id);
                EXPECT_EQ(call.callback, 0u);
                EXPECT_EQ(call.instance, 0u);
                EXPECT_EQ(call.flags, static_cast<DWORD>(CALLBACK_NULL));
            }
        }
        midi.ClearFailures();
        EXPECT_THAT(midi.Violations(), IsEmpty());
    }
}

TEST_F(MidiOutPortTest, AFailedCloseLeavesThePortOpen)
{
    CMidiOutPort port;
    ASSERT_EQ(port.OpenPort(2), kMidiOk);
    midi.Fail(MidiCall::OutClose, MMSYSERR_INVALPARAM);
    EXPECT_EQ(port.ClosePort(), kMidiPlatformFailed);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_STREQ(port.GetErrorText(), "The specified pointer or structure is invalid");
    EXPECT_EQ(port.SendShortMessage(0xC0, 1, 0), static_cast<MMRESULT>(MMSYSERR_NOERROR));

    EXPECT_EQ(port.ClosePort(), kMidiOk);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(midi.IsOutputOpen(2));
    EXPECT_EQ(port.ClosePort(), kMidiOk);
    EXPECT_THAT(midi.CallNames(),
                ElementsAre("midiOutOpen", "midiOutClose", "midiOutClose"));
}

TEST_F(MidiOutPortTest, IdsAreTestedAgainstTheCountAtTheTimeOfTheCall)
{
    CMidiOutPort port;
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    // Selecting does not touch the open device.
    EXPECT_EQ(port.SelectDevice(2), kMidiOk);
    EXPECT_EQ(port.DeviceId(), 2);
    EXPECT_TRUE(midi.IsOutputOpen(0));

    midi.SetOutputDevices({"Synth A", "MPU-401"});
    EXPECT_EQ(port.SelectDevice(2), kMidiBadDeviceId);
    EXPECT_EQ(port.SelectDevice(0xFFFFFFFFu), kMidiBadDeviceId);
    EXPECT_EQ(port.OpenPort(2), kMidiBadDeviceId);
    EXPECT_EQ(port.DeviceId(), 2);
    EXPECT_TRUE(midi.IsOutputOpen(0));

    midi.SetOutputDevices({"Synth A", "MPU-401", "Synth B", "Synth C"});
    EXPECT_EQ(port.OpenPort(3), kMidiOk);
    EXPECT_TRUE(midi.IsOutputOpen(3));
}

struct FindCase {
    const char* name;
    std::int32_t found; // -1: no device has the name
};

TEST_F(MidiOutPortTest, FindDeviceMatchesWholeNamesAndTheHighestIdWins)
{
    midi.SetOutputDevices({"Synth A", "MPU-401", "Synth A", "Synth B", "Synth A "});
    const FindCase cases[] = {
        {"Synth A", 2},   {"MPU-401", 1}, {"Synth B", 3}, {"Synth A ", 4},
        {"synth a", -1},  {"Synth", -1},  {"", -1},       {"Synth A  ", -1},
    };
    CMidiOutPort port;
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::int32_t id = 77;
        EXPECT_EQ(port.FindDevice(c.name, id), c.found < 0 ? kMidiNoSuchDevice : kMidiOk);
        EXPECT_EQ(id, c.found < 0 ? 77 : c.found);
    }
}

TEST_F(MidiOutPortTest, ADeviceWhoseNameCannotBeReadTakesNoPartInFindDevice)
{
    midi.SetOutputDevices({"Synth A", "MPU-401", "Synth A"});
    midi.Fail(MidiCall::OutGetDevCaps, MMSYSERR_NOMEM, -1, 2);
    CMidiOutPort port;
    std::int32_t id = 77;
    EXPECT_EQ(port.FindDevice("Synth A", id), kMidiOk);
    EXPECT_EQ(id, 0);

    midi.Fail(MidiCall::OutGetDevCaps, MMSYSERR_NOMEM, -1, 0);
    id = 77;
    EXPECT_EQ(port.FindDevice("Synth A", id), kMidiNoSuchDevice);
    EXPECT_EQ(id, 77);
}

TEST_F(MidiOutPortTest, GetDeviceNameChangesTheNameOnlyOnSuccess)
{
    CMidiOutPort port;
    std::string name = "untouched";
    EXPECT_EQ(port.GetDeviceName(3, name), kMidiBadDeviceId);
    EXPECT_EQ(port.GetDeviceName(-1, name), kMidiBadDeviceId);
    EXPECT_EQ(name, "untouched");
    EXPECT_EQ(port.LastResult(), 0u);

    midi.Fail(MidiCall::OutGetDevCaps, MMSYSERR_NODRIVER);
    EXPECT_EQ(port.GetDeviceName(1, name), kMidiPlatformFailed);
    EXPECT_EQ(name, "untouched");
    EXPECT_EQ(port.LastResult(), static_cast<std::uint32_t>(MMSYSERR_NODRIVER));

    EXPECT_EQ(port.GetDeviceName(1, name), kMidiOk);
    EXPECT_EQ(name, "MPU-401");
    EXPECT_EQ(port.LastResult(), 0u);

    ASSERT_EQ(port.SelectDevice(2), kMidiOk);
    EXPECT_EQ(port.GetCurrentDeviceName(name), kMidiOk);
    EXPECT_EQ(name, "Synth B");
}

TEST_F(MidiOutPortTest, ListDeviceNamesMakesTheListExactlyTheDeviceCount)
{
    const std::string longName(40, 'x');
    midi.SetOutputDevices({"Synth A", "MPU-401", longName, "Synth A"});
    midi.Fail(MidiCall::OutGetDevCaps, MMSYSERR_NOMEM, -1, 1);
    CMidiOutPort port;

    std::vector<std::string> names = {"a", "b", "c", "d", "e", "f"};
    port.ListDeviceNames(names, false);
    // An unreadable device keeps its position with an empty name; a name that fills the
    // whole field is cut to 31 characters.
    EXPECT_THAT(names, ElementsAre("Synth A", "", std::string(31, 'x'), "Synth A"));
    EXPECT_EQ(port.LastResult(), 0u);

    port.ListDeviceNames(names, true);
    EXPECT_THAT(names, ElementsAre("0  Synth A", "1  ", "2  " + std::string(31, 'x'),
                                   "3  Synth A"));

    midi.SetOutputDevices({});
    port.ListDeviceNames(names, false);
    EXPECT_THAT(names, IsEmpty());
}

TEST_F(MidiOutPortTest, PlatformCodesReadAsTheirTexts)
{
    const std::pair<MMRESULT, const char*> cases[] = {
        {MMSYSERR_BADDEVICEID, "The specified device identifier is out of range"},
        {MMSYSERR_ALLOCATED, "The specified resource is already allocated"},
        {MMSYSERR_INVALHANDLE, "The specified device handle is invalid"},
        {MMSYSERR_NODRIVER, "Unknown Error"},
        {MMSYSERR_NOMEM, "The system is unable to allocate or lock memory"},
        {MMSYSERR_INVALFLAG, "The flags specified by dwFlags are invalid"},
        {MMSYSERR_INVALPARAM, "The specified pointer or structure is invalid"},
        {MMSYSERR_ERROR, "Unknown Error"},
        {MMSYSERR_NOTSUPPORTED, "Unknown Error"},
    };
    CMidiOutPort port;
    for (const auto& [code, text] : cases) {
        SCOPED_TRACE(code);
        midi.Fail(MidiCall::OutOpen, code);
        ASSERT_EQ(port.OpenPort(0), kMidiPlatformFailed);
        EXPECT_STREQ(port.GetErrorText(), text);
    }
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    EXPECT_STREQ(port.GetErrorText(), "No Error");
}

struct SendCase {
    std::uint8_t status, data1, data2;
    DWORD word;
};

TEST_F(MidiOutPortTest, SendsPackedWordsOnTheOpenDevice)
{
    const SendCase cases[] = {
        {0xB0, 0x00, 0x7F, 0x007F00B0}, // bytes from the lowest: B0 00 7F 00
        {0xC3, 0x05, 0x00, 0x000005C3},
        {0x9F, 0x7F, 0x01, 0x00017F9F},
        {0x80, 0x00, 0x00, 0x00000080},
    };
    CMidiOutPort port;
    ASSERT_EQ(port.OpenPort(1), kMidiOk);
    for (const SendCase& c : cases)
        EXPECT_EQ(port.SendShortMessage(c.status, c.data1, c.data2),
                  static_cast<MMRESULT>(MMSYSERR_NOERROR));
    const std::vector<SentMessage> sent = midi.Sent();
    ASSERT_EQ(sent.size(), std::size(cases));
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        EXPECT_EQ(sent[i].word, cases[i].word);
        EXPECT_EQ(sent[i].device, 1);
        EXPECT_EQ(sent[i].state, HandleState::Open);
    }
}

TEST_F(MidiOutPortTest, ASendOnAClosedPortGoesNowhereAndIsNotKept)
{
    CMidiOutPort port;
    // Never opened, then opened and closed again: the platform never sees a stale handle.
    EXPECT_EQ(port.SendShortMessage(0x90, 60, 100), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    ASSERT_EQ(port.ClosePort(), kMidiOk);
    EXPECT_EQ(port.SendShortMessage(0x80, 60, 0), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    for (const SentMessage& sent : midi.Sent())
        EXPECT_EQ(sent.state, HandleState::Null);
    EXPECT_EQ(port.LastResult(), 0u);
    EXPECT_THAT(midi.SentWords(), IsEmpty());

    // A platform failure of a send is returned, not kept either.
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    midi.Fail(MidiCall::OutShortMsg, MMSYSERR_NOMEM);
    EXPECT_EQ(port.SendShortMessage(0x90, 60, 100), static_cast<MMRESULT>(MMSYSERR_NOMEM));
    EXPECT_EQ(port.LastResult(), 0u);
    EXPECT_THAT(midi.Violations(), IsEmpty());
}

TEST_F(MidiOutPortTest, DestroyingAnOpenPortClosesIt)
{
    {
        CMidiOutPort port;
        ASSERT_EQ(port.OpenPort(2), kMidiOk);
    }
    EXPECT_FALSE(midi.IsOutputOpen(2));
    EXPECT_THAT(midi.CallNames(), ElementsAre("midiOutOpen", "midiOutClose"));
}

// The input thread sends notes through the preview output while the user-interface thread
// closes and reopens it: no send may reach a handle that is closing or closed.
TEST_F(MidiOutPortTest, SendsFromAnotherThreadNeverReachAClosingHandle)
{
    midi.SetOutputCloseDelay(1);
    CMidiOutPort port;
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    std::atomic<bool> stop{false};
    // Capped, since the virtual system keeps a record of every send.
    std::thread sender([&] {
        for (int sent = 0; sent < 100000 && !stop.load(); ++sent) {
            port.SendShortMessage(0x90, 60, 100);
            SwitchToThread();
        }
    });
    for (int round = 0; round < 100; ++round) {
        ASSERT_EQ(port.ClosePort(), kMidiOk);
        ASSERT_EQ(port.OpenPort(round % 3), kMidiOk);
        Sleep(1);
    }
    stop.store(true);
    sender.join();

    EXPECT_THAT(midi.Violations(), IsEmpty());
    EXPECT_FALSE(midi.SentWords().empty());
}

} // namespace
