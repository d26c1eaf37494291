// The MIDI outputs the program sees with the software card's beside the system's: the
// system's first, then the software card's, each listed by name, opened by id, sent to and
// closed where it belongs; failures of either side come back as they were given.

#include "midi/CompositeMidiApi.h"
#include "midi/MidiOutPort.h"
#include "midi/WinMidiApi.h"
#include "tests/support/VirtualMidi.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// A software card's output table whose outputs, messages and failures the test sets.
struct FakeSoftOutputs {
    std::vector<std::string> names;
    std::vector<int> opens;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sent;
    std::int32_t openFailure = kSoftMidiOk;
};
FakeSoftOutputs* g_fake = nullptr;

std::uint32_t SOFT_MIDI_CALL FakeCount()
{
    return static_cast<std::uint32_t>(g_fake->names.size());
}

std::uint32_t SOFT_MIDI_CALL FakeName(std::uint32_t output, char* text, std::uint32_t room)
{
    if (output >= g_fake->names.size() || room == 0)
        return 0;
    const std::string& name = g_fake->names[output];
    std::size_t count = std::min<std::size_t>(name.size(), room - 1);
    name.copy(text, count);
    text[count] = 0;
    return static_cast<std::uint32_t>(name.size());
}

std::int32_t SOFT_MIDI_CALL FakeOpen(std::uint32_t output)
{
    if (output >= g_fake->names.size())
        return kSoftMidiBadDeviceId;
    if (g_fake->openFailure != kSoftMidiOk)
        return g_fake->openFailure;
    ++g_fake->opens[output];
    return kSoftMidiOk;
}

std::int32_t SOFT_MIDI_CALL FakeShortMessage(std::uint32_t output, std::uint32_t message)
{
    if (output >= g_fake->names.size() || g_fake->opens[output] == 0)
        return kSoftMidiInvalidHandle;
    g_fake->sent.emplace_back(output, message);
    return kSoftMidiOk;
}

std::int32_t SOFT_MIDI_CALL FakeClose(std::uint32_t output)
{
    if (output >= g_fake->names.size() || g_fake->opens[output] == 0)
        return kSoftMidiInvalidHandle;
    --g_fake->opens[output];
    return kSoftMidiOk;
}

const SoftMidiTable kFakeTable = {kSoftMidiVersion, FakeCount, FakeName, FakeOpen, FakeShortMessage, FakeClose};

class CompositeMidiApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_fake.names = {"Software Synth 1", "Software Synth 2"};
        m_fake.opens = {0, 0};
        g_fake = &m_fake;
        m_system.SetOutputDevices({"System Port A", "System Port B"});
        InstallSoftMidiOutputs(&kFakeTable);
    }
    void TearDown() override
    {
        RemoveSoftMidiOutputs();
        g_fake = nullptr;
    }

    FakeSoftOutputs m_fake;
    VirtualMidi m_system;
};

TEST_F(CompositeMidiApiTest, ListsTheSystemsOutputsFirstThenTheSoftwareCards)
{
    CMidiOutPort port;
    std::vector<std::string> names;
    port.ListDeviceNames(names, false);
    EXPECT_EQ(names, (std::vector<std::string>{"System Port A", "System Port B", "Software Synth 1",
                                               "Software Synth 2"}));
    std::int32_t id = -1;
    ASSERT_EQ(port.FindDevice("Software Synth 2", id), 0);
    EXPECT_EQ(id, 3);
    MIDIOUTCAPSA caps{};
    EXPECT_EQ(MidiApi().outGetDevCaps(4, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(MidiApi().outGetDevCaps(2, &caps, sizeof caps - 1), MMSYSERR_INVALPARAM);
}

TEST_F(CompositeMidiApiTest, RoutesEachMessageToTheOutputItsPortOpened)
{
    struct Case {
        const char* name;
        std::int32_t id;
        bool software;
        std::uint32_t index;
    };
    const Case cases[] = {
        {"the system's first output", 0, false, 0},
        {"the system's second output", 1, false, 1},
        {"the first software output", 2, true, 0},
        {"the second software output", 3, true, 1},
    };
    for (const Case& c : cases) {
        m_system.ClearRecords();
        m_fake.sent.clear();
        CMidiOutPort port;
        ASSERT_EQ(port.OpenPort(c.id), 0) << c.name;
        EXPECT_EQ(port.SendShortMessage(0x90, 60, 100), static_cast<MMRESULT>(MMSYSERR_NOERROR)) << c.name;
        std::string current;
        ASSERT_EQ(port.GetCurrentDeviceName(current), 0) << c.name;
        if (c.software) {
            EXPECT_EQ(current, m_fake.names[c.index]) << c.name;
            EXPECT_EQ(m_fake.opens[c.index], 1) << c.name;
            ASSERT_EQ(m_fake.sent.size(), 1u) << c.name;
            EXPECT_EQ(m_fake.sent[0], std::make_pair(c.index, std::uint32_t{0x90 | 60 << 8 | 100 << 16})) << c.name;
            EXPECT_TRUE(m_system.SentWords().empty()) << c.name;
        } else {
            EXPECT_TRUE(m_system.IsOutputOpen(static_cast<int>(c.index))) << c.name;
            EXPECT_EQ(m_system.SentWords(), std::vector<DWORD>{0x90 | 60 << 8 | 100 << 16}) << c.name;
            EXPECT_TRUE(m_fake.sent.empty()) << c.name;
        }
        ASSERT_EQ(port.ClosePort(), 0) << c.name;
        EXPECT_EQ(m_fake.opens, (std::vector<int>{0, 0})) << c.name;
        EXPECT_FALSE(m_system.IsOutputOpen(static_cast<int>(c.index))) << c.name;
    }
    EXPECT_TRUE(m_system.Violations().empty());
}

TEST_F(CompositeMidiApiTest, FailuresComeBackFromTheSideThatFailed)
{
    HMIDIOUT handle = nullptr;
    EXPECT_EQ(MidiApi().outOpen(&handle, 4, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID) << "past both lists";
    EXPECT_EQ(MidiApi().outOpen(&handle, 2, 0, 0, CALLBACK_WINDOW), MMSYSERR_INVALFLAG)
        << "a software output calls no one back";
    m_fake.openFailure = kSoftMidiError;
    EXPECT_EQ(MidiApi().outOpen(&handle, 2, 0, 0, CALLBACK_NULL), MMSYSERR_ERROR) << "the card refused";
    m_fake.openFailure = kSoftMidiOk;
    m_system.Fail(MidiCall::OutOpen, MMSYSERR_ALLOCATED);
    EXPECT_EQ(MidiApi().outOpen(&handle, 1, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED) << "the system refused";

    ASSERT_EQ(MidiApi().outOpen(&handle, 3, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    ASSERT_EQ(MidiApi().outClose(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(MidiApi().outShortMsg(handle, 0x90), MMSYSERR_INVALHANDLE) << "a closed software output";
    EXPECT_EQ(MidiApi().outClose(handle), MMSYSERR_INVALHANDLE);
}

TEST_F(CompositeMidiApiTest, RemovingTheSoftwareOutputsPutsTheSystemsTableBack)
{
    RemoveSoftMidiOutputs();
    EXPECT_EQ(MidiApi().outGetNumDevs(), 2u);
    InstallSoftMidiOutputs(&kFakeTable);
    InstallSoftMidiOutputs(&kFakeTable);
    EXPECT_EQ(MidiApi().outGetNumDevs(), 4u) << "installed twice, listed once";
    EXPECT_EQ(MidiApi().inGetNumDevs(), 0u) << "inputs are the system's alone";
}

} // namespace
