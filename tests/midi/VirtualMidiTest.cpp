// The virtual MIDI system must itself catch the faults it is there to catch.
#include "midi/MidiInPort.h"
#include "midi/MidiInputLock.h"
#include "midi/MidiResult.h"
#include "midi/WinMidiApi.h"
#include "tests/support/VirtualMidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

TEST(VirtualMidi, ReportsSendsOnClosingAndClosedHandles)
{
    VirtualMidi midi;
    midi.SetOutputDevices({"Synth"});
    const WinMidiApi& api = MidiApi();
    HMIDIOUT handle = nullptr;
    ASSERT_EQ(api.outOpen(&handle, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(api.outShortMsg(handle, 0x90), MMSYSERR_NOERROR);

    // A careless sender that keeps the handle while another thread closes it.
    midi.SetOutputCloseDelay(500);
    std::thread closer([&] { api.outClose(handle); });
    while (midi.CallNames().size() < 2)
        Sleep(1);
    EXPECT_EQ(api.outShortMsg(handle, 0x91), MMSYSERR_INVALHANDLE);
    closer.join();
    EXPECT_EQ(api.outShortMsg(handle, 0x92), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.outShortMsg(reinterpret_cast<HMIDIOUT>(0x77), 0x93), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.outShortMsg(nullptr, 0x94), MMSYSERR_INVALHANDLE);

    EXPECT_THAT(midi.Violations(),
                ElementsAre("midiOutShortMsg on a closing handle (output 0, word 0x00000091)",
                            "midiOutShortMsg on a closed handle (output 0, word 0x00000092)",
                            "midiOutShortMsg on an unknown handle (output -1, word 0x00000093)"));
    EXPECT_THAT(midi.SentWords(), ElementsAre(0x90u));
}

// Stopping input while holding the input lock: the callback running on the delivery thread
// waits for the lock, the stop waits for the callback. Reported, not hung.
TEST(VirtualMidi, ReportsAStopThatWaitsForACallbackItBlocks)
{
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    midi.SetCallbackWaitLimit(300);
    CMidiInPort port;
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    ASSERT_EQ(port.StartInput(), kMidiOk);
    midiInputLock.lock();
    midi.Receive(0, 0x00643C90);
    while (midi.Delivered().size() < 2) // MIM_OPEN, then the data on its way
        Sleep(1);
    EXPECT_EQ(port.StopInput(), kMidiOk);
    midiInputLock.unlock();
    ASSERT_TRUE(midi.WaitUntilDelivered());
    EXPECT_EQ(port.ClosePort(), kMidiOk);
    ASSERT_EQ(midi.Violations().size(), 1u);
    EXPECT_THAT(midi.Violations()[0], HasSubstr("midiInStop waited too long"));
}

class StoppingInPort : public CMidiInPort {
public:
    ~StoppingInPort() override { Shutdown(); }
    void OnMidiMessage(MidiInputEvent) override { StopInput(); }
};

TEST(VirtualMidi, ReportsAStopFromInsideACallback)
{
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    StoppingInPort port;
    ASSERT_EQ(port.OpenPort(0), kMidiOk);
    ASSERT_EQ(port.StartInput(), kMidiOk);
    midi.Receive(0, 0x00643C90);
    ASSERT_TRUE(midi.WaitUntilDelivered());
    EXPECT_THAT(midi.Violations(), ElementsAre("midiInStop from inside an input callback"));
}

TEST(VirtualMidi, FailsTheTestForHandlesLeftOpen)
{
    EXPECT_NONFATAL_FAILURE(
        {
            VirtualMidi midi;
            midi.SetOutputDevices({"Synth"});
            HMIDIOUT handle = nullptr;
            MidiApi().outOpen(&handle, 0, 0, 0, CALLBACK_NULL);
        },
        "MIDI output device 0 was left open");
    EXPECT_EQ(&MidiApi(), &RealWinMidiApi());
}

TEST(VirtualMidi, RefusesASecondOpenOfADeviceAndBadIds)
{
    VirtualMidi midi;
    midi.SetOutputDevices({"Synth"});
    midi.SetInputDevices({"Keys"});
    const WinMidiApi& api = MidiApi();
    HMIDIOUT out = nullptr;
    HMIDIOUT second = nullptr;
    ASSERT_EQ(api.outOpen(&out, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(api.outOpen(&second, 0, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
    EXPECT_EQ(api.outOpen(&second, 1, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(second, nullptr);
    HMIDIIN in = nullptr;
    EXPECT_EQ(api.inOpen(&in, 1, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(api.inStart(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(api.outClose(out), MMSYSERR_NOERROR);
    EXPECT_EQ(api.outClose(out), MMSYSERR_INVALHANDLE);
    EXPECT_THAT(midi.Violations(), IsEmpty());
}

} // namespace
