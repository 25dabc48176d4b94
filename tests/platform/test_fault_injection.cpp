#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/FaultInjection.h"

namespace tessary {
namespace {

TEST(FaultInjection, CountsFromArmingAndDisarms) {
    fault::Reset();
    EXPECT_FALSE(fault::ShouldFailAllocation());
    fault::FailNthAllocation(3);
    EXPECT_FALSE(fault::ShouldFailAllocation());
    EXPECT_FALSE(fault::ShouldFailAllocation());
    EXPECT_TRUE(fault::ShouldFailAllocation());
    EXPECT_FALSE(fault::ShouldFailAllocation());

    fault::FailNthRead(1, true);
    EXPECT_EQ(fault::ReadFault(), 2);
    EXPECT_EQ(fault::ReadFault(), 0);
    fault::FailNthRead(2);
    EXPECT_EQ(fault::ReadFault(), 0);
    EXPECT_EQ(fault::ReadFault(), 1);

    fault::FailNthWrite(0);
    EXPECT_FALSE(fault::ShouldFailWrite());
    fault::FailNthWrite(1);
    fault::Reset();
    EXPECT_FALSE(fault::ShouldFailWrite());

    fault::FailNthThreadStart(2);
    EXPECT_FALSE(fault::ShouldFailThreadStart());
    EXPECT_TRUE(fault::ShouldFailThreadStart());
    EXPECT_FALSE(fault::ShouldFailThreadStart());
}

TEST(FaultInjection, TheStopCheckSwitchStaysOnUntilTurnedOffOrReset) {
    fault::Reset();
    EXPECT_FALSE(fault::StopCheckAtEveryRecord());
    fault::CheckStopAtEveryRecord(true);
    EXPECT_TRUE(fault::StopCheckAtEveryRecord());
    EXPECT_TRUE(fault::StopCheckAtEveryRecord());
    fault::CheckStopAtEveryRecord(false);
    EXPECT_FALSE(fault::StopCheckAtEveryRecord());
    fault::CheckStopAtEveryRecord(true);
    fault::FailNthThreadStart(1);
    fault::Reset();
    EXPECT_FALSE(fault::StopCheckAtEveryRecord());
    EXPECT_FALSE(fault::ShouldFailThreadStart());
}

TEST(FaultInjection, ExactlyOneCallFailsAcrossThreads) {
    fault::Reset();
    fault::FailNthAllocation(1500);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) {
                if (fault::ShouldFailAllocation()) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(failures.load(), 1);
    fault::Reset();
}

}  // namespace
}  // namespace tessary
