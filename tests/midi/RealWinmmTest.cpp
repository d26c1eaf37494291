// The ports on the real winmm. Under Wine there are no MIDI devices; on a machine with devices
// these tests skip, since what they would see depends on the hardware.
#include "midi/MidiInPort.h"
#include "midi/MidiOutPort.h"
#include "midi/MidiResult.h"
#include "midi/WinMidiApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RealWinmm, IsThePortsDefault)
{
    EXPECT_EQ(&MidiApi(), &RealWinMidiApi());
}

TEST(RealWinmm, WithoutOutputDevicesNothingOpensAndSendsGoNowhere)
{
    if (midiOutGetNumDevs() != 0)
        GTEST_SKIP() << "this machine has MIDI output devices";
    CMidiOutPort port;
    std::vector<std::string> names = {"stale"};
    port.ListDeviceNames(names, false);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(port.OpenPort(0), kMidiBadDeviceId);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_STREQ(port.GetErrorText(), "No Error");
    std::int32_t id = 5;
    EXPECT_EQ(port.FindDevice("", id), kMidiNoSuchDevice);
    EXPECT_EQ(id, 5);
    std::string name = "untouched";
    EXPECT_EQ(port.GetCurrentDeviceName(name), kMidiBadDeviceId);
    EXPECT_EQ(name, "untouched");
    EXPECT_EQ(port.SendShortMessage(0x90, 60, 100), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(port.ClosePort(), kMidiOk);
}

TEST(RealWinmm, WithoutInputDevicesNothingOpensOrStarts)
{
    if (midiInGetNumDevs() != 0)
        GTEST_SKIP() << "this machine has MIDI input devices";
    CMidiInPort port;
    std::vector<std::string> names = {"stale"};
    port.ListDeviceNames(names, false);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(port.OpenPort(0), kMidiBadDeviceId);
    EXPECT_EQ(port.StartInput(), kMidiPlatformFailed);
    EXPECT_STREQ(port.GetErrorText(), "The specified device handle is invalid");
    EXPECT_EQ(port.StopInput(), kMidiOk);
    EXPECT_EQ(port.ClosePort(), kMidiOk);
}

// The platform itself answers an open of a missing device with code 2.
TEST(RealWinmm, OpeningAMissingDeviceDirectlyAnswersBadDeviceId)
{
    if (midiOutGetNumDevs() != 0 || midiInGetNumDevs() != 0)
        GTEST_SKIP() << "this machine has MIDI devices";
    HMIDIOUT out = nullptr;
    EXPECT_EQ(RealWinMidiApi().outOpen(&out, 0, 0, 0, CALLBACK_NULL),
              static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    HMIDIIN in = nullptr;
    EXPECT_EQ(RealWinMidiApi().inOpen(&in, 0, reinterpret_cast<DWORD_PTR>(MidiInProc), 0,
                                      CALLBACK_FUNCTION),
              static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
}

} // namespace
