// The preview's input path across threads: the input thread rewrites and sends while the
// user-interface thread changes the settings and closes and reopens the output. Portable, so
// that it also runs natively under ThreadSanitizer.
#include "midi/HandleGate.h"
#include "midi/PreviewForwarder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

constexpr int kEvents = 100000;
constexpr int kOutputReopens = 1000;
constexpr int kSettledEvents = 100;

// Stands in for the platform's output: handles 1, 2, ... each opened once and closed once; a
// send on a handle that is closing or closed is counted as a fault.
class FakeOutputs {
public:
    explicit FakeOutputs(int handles) : m_states(handles + 1) {}

    int Open()
    {
        const int handle = ++m_lastOpened;
        m_states[handle].store(kOpen);
        return handle;
    }

    void Close(int handle)
    {
        m_states[handle].store(kClosing);
        std::this_thread::yield(); // widens the window a careless sender would fall into
        m_states[handle].store(kClosed);
    }

    void Send(int handle, std::uint32_t word)
    {
        if (handle == 0) {
            m_refused.fetch_add(1);
            return;
        }
        if (m_states[handle].load() != kOpen)
            m_faults.fetch_add(1);
        else
            m_lastWord.store(word);
        m_sent.fetch_add(1);
    }

    int Faults() const { return m_faults.load(); }
    int Sent() const { return m_sent.load(); }

private:
    enum { kNeverOpened, kOpen, kClosing, kClosed };
    std::vector<std::atomic<int>> m_states;
    int m_lastOpened = 0;
    std::atomic<int> m_faults{0};
    std::atomic<int> m_sent{0};
    std::atomic<int> m_refused{0};
    std::atomic<std::uint32_t> m_lastWord{0};
};

// A note-on, a controller, a note-off, a note-on with velocity 0 and a clock: the two
// note-offs of every five pass whatever is selected, the note-on only while a playable item is.
const std::uint32_t kInputPattern[] = {0x00643C91, 0x005A07B2, 0x00403C83, 0x00004094,
                                       0x000000F8};

bool IsNoteOff(std::uint32_t word)
{
    const std::uint32_t kind = word & 0xF0;
    return kind == 0x80 || (kind == 0x90 && (word & 0xFF0000) == 0);
}

// Channel and octave paired (channel = octave + 9), so that a rewrite with a mixture of an old
// and a new setting shows.
PreviewRouting Routing(bool playable, int octave)
{
    PreviewRouting routing;
    routing.playableSelected = playable;
    routing.channel = static_cast<std::uint8_t>(octave + 9);
    routing.octave = octave;
    return routing;
}

TEST(PreviewThreads, SendsNeverReachAClosingOutputAndEverySettingArrivesWhole)
{
    CPreviewForwarder forwarder;
    forwarder.SetRouting(Routing(true, 0));
    CHandleGate<int> gate;
    FakeOutputs outputs(kOutputReopens + 1);
    gate.Publish(outputs.Open());

    std::atomic<bool> uiDone{false};
    std::atomic<bool> inputDone{false};
    std::atomic<int> noteOffsIn{0};
    std::atomic<int> noteOffsOut{0};
    std::atomic<int> badRewrites{0};
    auto forwardOne = [&](int n) {
        const std::uint32_t in = kInputPattern[n % std::size(kInputPattern)];
        noteOffsIn.fetch_add(IsNoteOff(in) ? 1 : 0);
        const std::optional<MidiShortMessage> out = forwarder.Rewrite(UnpackShortMessage(in, 0));
        if (!out)
            return;
        const std::uint32_t word = out->Packed();
        const int channel = word & 0x0F;
        const int note = (word >> 8) & 0xFF;
        const int inNote = (in >> 8) & 0xFF;
        if (note != std::clamp(inNote + 12 * (channel - 9), 0, 127) ||
            (word & 0xFF0000) != (in & 0xFF0000))
            badRewrites.fetch_add(1);
        noteOffsOut.fetch_add(IsNoteOff(word) ? 1 : 0);
        gate.Borrow([&](int handle) { outputs.Send(handle, word); });
    };
    std::thread input([&] {
        int n = 0;
        for (; n < kEvents || !uiDone.load(); ++n)
            forwardOne(n);
        // The output stays open from now on, so these must reach it: at least their note-offs.
        for (int last = n + kSettledEvents; n < last; ++n)
            forwardOne(n);
        inputDone.store(true);
    });

    // The user-interface thread. Input goes on until the output has been reopened
    // kOutputReopens times, and the settings keep changing for as long as input runs.
    int changes = 0;
    for (; changes < kOutputReopens || !inputDone.load(); ++changes) {
        const int octave = changes % 7 - 3;
        forwarder.SetRouting(Routing(changes % 3 != 0, octave));
        if (changes < kOutputReopens) {
            outputs.Close(gate.Withdraw());
            gate.Publish(outputs.Open());
        } else {
            uiDone.store(true);
        }
    }
    input.join();
    outputs.Close(gate.Withdraw());

    EXPECT_EQ(outputs.Faults(), 0) << "sends on a closing or closed output";
    EXPECT_EQ(badRewrites.load(), 0) << "messages rewritten with a torn setting";
    EXPECT_EQ(noteOffsOut.load(), noteOffsIn.load()) << "note-offs must always pass";
    EXPECT_GE(outputs.Sent(), kSettledEvents * 2 / 5);
    EXPECT_GE(changes, kOutputReopens);
}

// A close must wait for a send that already holds the handle, and only for that.
TEST(PreviewThreads, WithdrawingWaitsForTheSendUnderWay)
{
    CHandleGate<int> gate;
    gate.Publish(7);
    std::atomic<bool> sending{false};
    std::atomic<bool> finishSend{false};
    std::atomic<int> sentOn{-1};
    std::thread sender([&] {
        gate.Borrow([&](int handle) {
            sending.store(true);
            while (!finishSend.load())
                std::this_thread::yield();
            sentOn.store(handle);
        });
    });
    while (!sending.load())
        std::this_thread::yield();

    std::atomic<int> withdrawn{-1};
    std::thread closer([&] { withdrawn.store(gate.Withdraw()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(withdrawn.load(), -1) << "the close went ahead during a send";
    // A send starting now finds no handle and does not wait for the close.
    EXPECT_EQ(gate.Borrow([](int handle) { return handle; }), 0);
    finishSend.store(true);
    sender.join();
    closer.join();
    EXPECT_EQ(sentOn.load(), 7);
    EXPECT_EQ(withdrawn.load(), 7);
}

} // namespace
