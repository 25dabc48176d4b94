#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/ManualResetEvent.h"

namespace tessary {
namespace {

TEST(ManualResetEvent, StaysSignalledUntilReset) {
    ManualResetEvent event(true);
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));  // waiting does not consume the signal
    EXPECT_TRUE(event.Wait(kInfinite));
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.Wait(0));
    EXPECT_FALSE(event.Wait(20));
    event.Set();
    event.Set();
    EXPECT_TRUE(event.Wait(0));

    ManualResetEvent unset(false);
    EXPECT_FALSE(unset.Wait(0));
}

TEST(ManualResetEvent, WakesWaitersOnOtherThreads) {
    ManualResetEvent event(false);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (event.Wait(kInfinite)) {
                ++woken;
            }
        });
    }
    waiters.emplace_back([&] {
        if (event.Wait(60000)) {
            ++woken;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(woken.load(), 0);
    event.Set();
    for (std::thread& t : waiters) {
        t.join();
    }
    EXPECT_EQ(woken.load(), 4);  // one Set releases every waiter
}

TEST(ManualResetEvent, TimedWaitOnAnotherThreadEndsUnsignalled) {
    ManualResetEvent event(false);
    std::atomic<bool> result{true};
    std::thread waiter([&] { result = event.Wait(30); });
    waiter.join();
    EXPECT_FALSE(result.load());
}

TEST(ManualResetEvent, ASetBeforeTheWaitIsNotLost) {
    ManualResetEvent event(false);
    std::thread setter([&] { event.Set(); });
    setter.join();
    std::atomic<bool> result{false};
    std::thread waiter([&] { result = event.Wait(kInfinite); });
    waiter.join();
    EXPECT_TRUE(result.load());
}

// Two threads hand a turn to each other over two events, each resetting the event it woke on.
// A Reset that did not take would let a thread run a second turn without being handed one; a
// Set that did not wake the other thread would stop the exchange (the timed waits then fail).
TEST(ManualResetEvent, ResetRearmsTheEventForTheNextRoundAcrossThreads) {
    constexpr int kRounds = 2000;
    ManualResetEvent ping(false);
    ManualResetEvent pong(false);
    std::atomic<int> handed{0};
    std::atomic<int> turns{0};
    std::atomic<int> faults{0};
    std::thread partner([&] {
        for (int round = 0; round < kRounds; ++round) {
            if (!ping.Wait(60000)) {
                ++faults;
                return;
            }
            ping.Reset();
            // Woken only by the round the main thread handed over.
            if (handed.load() != round + 1 || turns.fetch_add(1) != round) {
                ++faults;
            }
            pong.Set();
        }
    });
    for (int round = 0; round < kRounds; ++round) {
        handed = round + 1;
        ping.Set();
        ASSERT_TRUE(pong.Wait(60000)) << round;
        pong.Reset();
        ASSERT_EQ(turns.load(), round + 1) << round;
    }
    partner.join();
    EXPECT_EQ(faults.load(), 0);
    EXPECT_EQ(turns.load(), kRounds);
    // Both were reset by the thread that woke on them.
    EXPECT_FALSE(ping.Wait(0));
    EXPECT_FALSE(pong.Wait(0));
}

// A thread that polls with 0 (the walk's stop check) goes on working until another thread
// signals; the signal stays for the next poll.
TEST(ManualResetEvent, PollingWorkerSeesASignalFromAnotherThread) {
    ManualResetEvent stop(false);
    ManualResetEvent working(false);
    std::atomic<int> polls{0};
    std::thread worker([&] {
        while (!stop.Wait(0)) {
            if (++polls == 100) {
                working.Set();
            }
            std::this_thread::yield();
        }
    });
    ASSERT_TRUE(working.Wait(60000));
    EXPECT_TRUE(worker.joinable());
    stop.Set();
    worker.join();
    EXPECT_GE(polls.load(), 100);
    EXPECT_TRUE(stop.Wait(0));
}

}  // namespace
}  // namespace tessary
