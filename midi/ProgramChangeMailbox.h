#pragma once
// The latest program change from the MIDI input, held for the user-interface thread. The input
// thread deposits each one and tells the window only when nothing was waiting, so that a burst
// of program changes costs the window one message and leaves it the last program played.
// Needs no Windows header; lock-free and allocation-free on both sides.

#include "midi/MidiMessage.h"

#include <atomic>
#include <cstdint>

class CProgramChangeMailbox {
public:
    CProgramChangeMailbox() = default;
    CProgramChangeMailbox(const CProgramChangeMailbox&) = delete;
    CProgramChangeMailbox& operator=(const CProgramChangeMailbox&) = delete;

    // Input thread. Whether `event` is a program change (on any channel), which is then kept
    // as the latest; `notify` is set when the window must be told, nothing having waited.
    bool Deposit(MidiInputEvent event, bool& notify) noexcept;
    // User-interface thread: the latest program (0-127) deposited since the last collection,
    // or -1 when there is none.
    int Collect() noexcept;
    bool Pending() const noexcept { return m_waiting.load(std::memory_order_acquire) != kNone; }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::atomic<std::uint32_t> m_waiting{kNone};
};
