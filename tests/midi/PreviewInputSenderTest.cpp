// The preview's input path on the real ports, as the preview session wires it for the main
// window: input from the virtual MIDI system through the thru port and the sender to the
// preview output.
#include "midi/MidiResult.h"
#include "midi/PreviewSession.h"
#include "midi/WinMidiApi.h"
#include "tests/support/VirtualMidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <set>
#include <thread>

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

bool IsNoteOff(std::uint32_t word)
{
    const std::uint32_t kind = word & 0xF0;
    return kind == 0x80 || (kind == 0x90 && (word & 0xFF0000) == 0);
}

bool IsNote(std::uint32_t word)
{
    const std::uint32_t kind = word & 0xF0;
    return kind == 0x80 || kind == 0x90;
}

TEST(PreviewInputSender, PassesRewrittenNotesFromTheInputToTheOutput)
{
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    midi.SetOutputDevices({"Synth"});
    CPreviewSession session;
    CMidiOutPort& output = session.Output();
    CMidiThruPort& input = session.Input();
    ASSERT_EQ(output.OpenPort(0), kMidiOk);
    ASSERT_EQ(input.OpenPort(0), kMidiOk);
    ASSERT_EQ(input.StartInput(), kMidiOk);

    session.SetPlayableSelected(true);
    session.SetChannel(9);
    session.SetOctave(1);
    midi.Receive(0, 0x00643C90); // note-on 60
    midi.Receive(0, 0x005A07B0); // controller: goes nowhere
    ASSERT_TRUE(midi.WaitUntilDelivered());
    session.SetPlayableSelected(false);
    midi.Receive(0, 0x00643E90); // note-on 62: nothing playable
    midi.Receive(0, 0x00003C80); // note-off 60: still released
    ASSERT_TRUE(midi.WaitUntilDelivered());

    ASSERT_EQ(input.StopInput(), kMidiOk);
    ASSERT_EQ(input.ClosePort(), kMidiOk);
    ASSERT_EQ(output.ClosePort(), kMidiOk);
    EXPECT_THAT(midi.SentWords(), ElementsAre(0x00644899u, 0x00004889u));
    for (const SentMessage& sent : midi.Sent())
        EXPECT_EQ(sent.threadId, midi.DeliveryThreadId());
    EXPECT_THAT(midi.Violations(), IsEmpty());
}

// A note played in the window goes out as the keyboard's key that sounds it would; the
// keyboard's notes light their keys, the window's own are drawn by the window.
TEST(PreviewInputSender, NotesPlayedInTheWindowGoOutAsTheKeyboardsAndKeyboardNotesLight)
{
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    midi.SetOutputDevices({"Synth"});
    CPreviewSession session;
    session.SetChannel(2);
    session.Start(0, 4, 0, [](const char* format, const char* text) { ADD_FAILURE() << format << text; });
    session.SetOctave(1);
    session.SetPlayableSelected(true);
    midi.ClearRecords();

    midi.Receive(0, 0x00643C90); // key 60, an octave up: 72
    ASSERT_TRUE(midi.WaitUntilDelivered());
    EXPECT_TRUE(session.InputNotes().IsLit(72));
    EXPECT_FALSE(session.InputNotes().IsLit(60));
    session.PlayNote(72, 100);
    midi.Receive(0, 0x00003C80);
    ASSERT_TRUE(midi.WaitUntilDelivered());
    EXPECT_FALSE(session.InputNotes().IsLit(72));
    session.ReleaseNote(72);
    EXPECT_THAT(midi.SentWords(), ElementsAre(0x00644892u, 0x00644892u, 0x00004882u, 0x00004882u));

    // Nothing playable: the window's note-on is held back too, its release is not.
    midi.ClearRecords();
    session.SetPlayableSelected(false);
    session.PlayNote(50, 90);
    session.ReleaseNote(50);
    EXPECT_THAT(midi.SentWords(), ElementsAre(0x00003282u));

    // A lit key goes dark when every note is released at once.
    midi.Receive(0, 0x00643C90);
    session.SetPlayableSelected(true);
    midi.Receive(0, 0x00643E90);
    ASSERT_TRUE(midi.WaitUntilDelivered());
    EXPECT_TRUE(session.InputNotes().IsLit(74));
    session.ReleaseAllNotes();
    EXPECT_FALSE(session.InputNotes().IsLit(74));

    session.Stop();
    midi.ClearRecords();
    session.PlayNote(72, 100);
    EXPECT_THAT(midi.SentWords(), IsEmpty()) << "not previewing";
    EXPECT_THAT(midi.Violations(), IsEmpty());
}

// What the input thread has handed on.
class CountingReceiver final : public IPreviewInputReceiver {
public:
    explicit CountingReceiver(IPreviewInputReceiver& next) : m_next(next) {}
    void ForwardPreviewInput(MidiInputEvent event) override
    {
        m_next.ForwardPreviewInput(event);
        const std::uint32_t word = PackShortMessage(event.status, event.data1, event.data2);
        if (IsNote(word) && IsNoteOff(word))
            noteOffs.fetch_add(1);
        events.fetch_add(1);
    }
    std::atomic<int> events{0};
    std::atomic<int> noteOffs{0};

private:
    IPreviewInputReceiver& m_next;
};

// Sends that linger between taking the output handle and reaching the platform, so that a
// close on the other thread has room to fall in between if nothing holds it back. Installed
// over the virtual MIDI system for the lifetime of the object.
class LingeringSends {
public:
    LingeringSends() : m_previous(MidiApi()), m_api(m_previous)
    {
        s_send = m_previous.outShortMsg;
        m_api.outShortMsg = Send;
        SetMidiApi(&m_api);
    }
    ~LingeringSends() { SetMidiApi(&m_previous); }
    LingeringSends(const LingeringSends&) = delete;
    LingeringSends& operator=(const LingeringSends&) = delete;

private:
    static MMRESULT WINAPI Send(HMIDIOUT handle, DWORD word)
    {
        if (++s_sends % 4 == 0)
            std::this_thread::yield();
        return s_send(handle, word);
    }

    static inline std::atomic<unsigned> s_sends{0};
    static inline MMRESULT(WINAPI* s_send)(HMIDIOUT, DWORD) = nullptr;
    const WinMidiApi& m_previous;
    WinMidiApi m_api;
};

constexpr int kEvents = 100000;
constexpr int kUiChanges = 1000;
constexpr int kBacklog = 2000; // input queued but not yet delivered

// Notes 60 and 64 on varying input channels, velocities 100, 64 and 0, among messages that
// must go nowhere.
const DWORD kInputPattern[] = {0x00643C91, 0x005A07B2, 0x00403C83, 0x00004094,
                               0x000000F8, 0x004000E5, 0x00644090, 0x000005C7};

// The user-interface thread's part, as the main window plays it: the selection moves between
// playable and unplayable kinds, channel and octave change, the output is closed and reopened
// (sometimes on another device), bank and program changes go out, and now and then previewing
// stops and starts again, which stops and closes the input under traffic.
struct UiChanges {
    int iterations = 0;
    int bankSelects = 0;
    int inputRestarts = 0;
};

void ChangeEverything(int i, CPreviewSession& session, UiChanges& done)
{
    CMidiOutPort& output = session.Output();
    CMidiThruPort& input = session.Input();
    session.SetPlayableSelected(i % 3 != 0);
    session.SetChannel(i % 16);
    session.SetOctave(i % 19 - 9);
    if (i % 2 == 0) {
        EXPECT_EQ(output.OpenPort(i / 2 % 2), kMidiOk); // closes, then opens
    } else {
        EXPECT_EQ(output.ClosePort(), kMidiOk);
        EXPECT_EQ(output.OpenPort(1), kMidiOk);
    }
    output.SendShortMessage(static_cast<std::uint8_t>(0xB0 | i % 16), 0, 1);
    output.SendShortMessage(static_cast<std::uint8_t>(0xC0 | i % 16), 5, 0);
    ++done.bankSelects;
    if (i % 100 == 99) {
        EXPECT_EQ(input.StopInput(), kMidiOk);
        EXPECT_EQ(input.ClosePort(), kMidiOk);
        EXPECT_EQ(input.OpenPort(0), kMidiOk);
        EXPECT_EQ(input.StartInput(), kMidiOk);
        ++done.inputRestarts;
    }
    ++done.iterations;
}

TEST(PreviewInputSender, StressNoSendReachesAClosingOutputAndNothingDeadlocks)
{
    VirtualMidi midi;
    midi.SetInputDevices({"Keys"});
    midi.SetOutputDevices({"Synth A", "Synth B"});
    LingeringSends lingering;
    CPreviewSession session;
    CMidiOutPort& output = session.Output();
    CMidiThruPort& input = session.Input();
    // Counts what the session's receiver is handed, on the way in.
    CountingReceiver counting(session.Receiver());
    input.SetOwner(&counting);
    ASSERT_EQ(output.OpenPort(0), kMidiOk);
    ASSERT_EQ(input.OpenPort(0), kMidiOk);
    ASSERT_EQ(input.StartInput(), kMidiOk);

    std::atomic<bool> uiDone{false};
    std::atomic<bool> feedingDone{false};
    int fed = 0;
    std::thread feeder([&] {
        while (counting.events.load() < kEvents || !uiDone.load()) {
            if (fed - counting.events.load() - midi.DroppedInput() > kBacklog) {
                std::this_thread::yield();
                continue;
            }
            midi.Receive(0, kInputPattern[fed % std::size(kInputPattern)]);
            ++fed;
        }
        feedingDone.store(true);
    });
    UiChanges done;
    for (int i = 0; i < kUiChanges || !feedingDone.load(); ++i) {
        ChangeEverything(i, session, done);
        if (i + 1 == kUiChanges)
            uiDone.store(true);
    }
    feeder.join();
    ASSERT_EQ(input.StopInput(), kMidiOk);
    ASSERT_EQ(input.ClosePort(), kMidiOk);
    ASSERT_EQ(output.ClosePort(), kMidiOk);

    EXPECT_THAT(midi.Violations(), IsEmpty());
    EXPECT_GE(counting.events.load(), kEvents);
    EXPECT_GE(done.iterations, kUiChanges);
    EXPECT_GE(done.inputRestarts, kUiChanges / 100);

    // What left through the output, whatever the handle's state: the notes came from the
    // input, everything else from the user-interface thread.
    std::set<int> possibleNotes;
    for (int octave = -9; octave <= 9; ++octave)
        for (int note : {60, 64})
            possibleNotes.insert(std::clamp(note + 12 * octave, 0, 127));
    int noteOffsOut = 0;
    int notesOnOpenHandles = 0;
    int bankSelectsOut = 0;
    for (const SentMessage& sent : midi.Sent()) {
        const DWORD word = sent.word;
        const DWORD kind = word & 0xF0;
        if (IsNote(word)) {
            noteOffsOut += IsNoteOff(word) ? 1 : 0;
            notesOnOpenHandles += sent.state == HandleState::Open ? 1 : 0;
            EXPECT_EQ(possibleNotes.count((word >> 8) & 0xFF), 1u) << std::hex << word;
            const DWORD velocity = word >> 16;
            EXPECT_TRUE(velocity == 100 || velocity == 64 || velocity == 0) << std::hex << word;
        } else if (kind == 0xB0) {
            EXPECT_EQ(word & 0xFFFF00, 0x010000u) << "an input controller was passed on";
            ++bankSelectsOut;
        } else {
            EXPECT_EQ(kind, 0xC0u) << "a message of the input was passed on: " << std::hex << word;
        }
    }
    EXPECT_EQ(noteOffsOut, counting.noteOffs.load()) << "every note-off must be passed on";
    EXPECT_EQ(bankSelectsOut, done.bankSelects);
    EXPECT_GT(notesOnOpenHandles, kEvents / 20) << "too few notes met an open output";
}

} // namespace
