#include "midi/ProgramChangeMailbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

MidiInputEvent Event(std::uint8_t status, std::uint8_t data1)
{
    MidiInputEvent event;
    event.status = status;
    event.data1 = data1;
    return event;
}

} // namespace

TEST(ProgramChangeMailbox, KeepsOnlyProgramChangesAndTellsOncePerWait)
{
    CProgramChangeMailbox mailbox;
    bool notify = true;
    EXPECT_FALSE(mailbox.Deposit(Event(0x90, 60), notify)); // a note passes by
    EXPECT_FALSE(notify);
    EXPECT_FALSE(mailbox.Deposit(Event(0xB0, 0), notify)); // so does a bank select
    EXPECT_EQ(mailbox.Collect(), -1);

    EXPECT_TRUE(mailbox.Deposit(Event(0xC0, 5), notify));
    EXPECT_TRUE(notify);
    EXPECT_TRUE(mailbox.Deposit(Event(0xCF, 7), notify)); // any channel
    EXPECT_FALSE(notify) << "the window was told already";
    EXPECT_TRUE(mailbox.Pending());
    EXPECT_EQ(mailbox.Collect(), 7);
    EXPECT_EQ(mailbox.Collect(), -1);
    EXPECT_TRUE(mailbox.Deposit(Event(0xC0, 0), notify));
    EXPECT_TRUE(notify) << "after a collection the next program tells again";
    EXPECT_EQ(mailbox.Collect(), 0);
}

// The input thread deposits a burst while the window collects: every notification finds a
// program or was made moot by an earlier collection, and the last program is never lost.
TEST(ProgramChangeMailbox, ABurstFromAnotherThreadEndsOnItsLastProgram)
{
    CProgramChangeMailbox mailbox;
    std::atomic<int> notifications{0};
    std::atomic<bool> done{false};
    std::thread input([&] {
        for (int i = 0; i < 100000; ++i) {
            bool notify = false;
            mailbox.Deposit(Event(0xC0, static_cast<std::uint8_t>(i % 128)), notify);
            notifications += notify ? 1 : 0;
        }
        done = true;
    });
    int last = -1;
    int collected = 0;
    while (!done || mailbox.Pending()) {
        if (int program = mailbox.Collect(); program >= 0) {
            last = program;
            ++collected;
        }
    }
    input.join();
    EXPECT_EQ(last, 99999 % 128);
    EXPECT_EQ(notifications.load(), collected) << "one notification per collection";
}
