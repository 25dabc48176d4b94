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

TEST(ManualResetEvent, TimedWaitEndsUnsignalledWhileAnotherThreadResets) {
    ManualResetEvent event(false);
    std::atomic<bool> result{true};
    std::thread waiter([&] { result = event.Wait(30); });
    waiter.join();
    EXPECT_FALSE(result.load());

    // A stop request in the middle of a worker: the worker polls with 0.
    ManualResetEvent stop(false);
    std::atomic<int> polls{0};
    std::thread worker([&] {
        while (!stop.Wait(0)) {
            ++polls;
            std::this_thread::yield();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    stop.Set();
    worker.join();
    EXPECT_TRUE(stop.IsSet());
}

}  // namespace
}  // namespace tessary
