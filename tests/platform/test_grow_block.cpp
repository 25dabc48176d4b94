#include <gtest/gtest.h>

#include "platform/WinApi.h"
#ifdef _WIN32
// After windows.h: the process memory counters.
#include <psapi.h>
#else
#include <unistd.h>
#endif

#include <fstream>
#include <utility>

#include "platform/FaultInjection.h"
#include "platform/Granule.h"
#include "platform/GrowBlock.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {
namespace {

long PageSize() {
#ifdef _WIN32
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return static_cast<long>(info.dwPageSize);
#else
    return sysconf(_SC_PAGESIZE);
#endif
}

TEST(Granule, BoundedByPageSize) {
    const uint32_t granule = AllocationGranule();
    const long page = PageSize();
    EXPECT_GE(granule, 4096u);
    EXPECT_LE(granule, 65536u);
    EXPECT_EQ(granule, page > 4096 ? std::min<long>(page, 65536) : 4096);
    EXPECT_EQ(AllocationGranule(), granule);

    EXPECT_EQ(RoundUpToGranule(0), 0u);
    EXPECT_EQ(RoundUpToGranule(1), granule);
    EXPECT_EQ(RoundUpToGranule(granule), granule);
    EXPECT_EQ(RoundUpToGranule(granule + 1), 2ull * granule);
    EXPECT_EQ(RoundUpToGranule(UINT64_MAX) % granule, 0u);
    EXPECT_NE(RoundUpToGranule(UINT64_MAX), 0u);  // no wrap to an empty size
}

bool AllZero(const uint8_t* p, uint64_t from, uint64_t to) {
    for (uint64_t i = from; i < to; ++i) {
        if (p[i] != 0) {
            return false;
        }
    }
    return true;
}

class GrowBlockTest : public ::testing::Test {
protected:
    void SetUp() override { fault::Reset(); }
    void TearDown() override { fault::Reset(); }
};

TEST_F(GrowBlockTest, GrowKeepsContentsAndZeroesTheNewPart) {
    const uint64_t g = AllocationGranule();
    GrowBlock block;
    EXPECT_FALSE(block.IsValid());
    ASSERT_TRUE(block.Create(3 * g));
    ASSERT_EQ(block.Capacity(), 3 * g);
    EXPECT_TRUE(AllZero(block.Data(), 0, 3 * g));
    for (uint64_t i = 0; i < 3 * g; ++i) {
        block.Data()[i] = static_cast<uint8_t>(i % 251 + 1);
    }
    // Many small steps and one large one, as the tables grow.
    for (uint64_t size = 4 * g; size <= 40 * g; size += g) {
        ASSERT_TRUE(block.Grow(size));
        ASSERT_EQ(block.Capacity(), size);
        ASSERT_TRUE(AllZero(block.Data(), size - g, size));
        block.Data()[size - 1] = 0x5A;
    }
    ASSERT_TRUE(block.Grow(5000 * g));
    for (uint64_t i = 0; i < 3 * g; ++i) {
        ASSERT_EQ(block.Data()[i], static_cast<uint8_t>(i % 251 + 1)) << i;
    }
    for (uint64_t size = 4 * g; size <= 40 * g; size += g) {
        ASSERT_EQ(block.Data()[size - 1], 0x5A);
    }
    EXPECT_TRUE(AllZero(block.Data(), 40 * g, 5000 * g));

    EXPECT_TRUE(block.Grow(g));  // never shrinks
    EXPECT_EQ(block.Capacity(), 5000 * g);
    block.Destroy();
    EXPECT_FALSE(block.IsValid());
    EXPECT_EQ(block.Capacity(), 0u);
}

TEST_F(GrowBlockTest, OddSizesAndGrowFromNothing) {
    GrowBlock block;
    ASSERT_TRUE(block.Grow(10));  // an absent block is created
    EXPECT_EQ(block.Capacity(), 10u);
    block.Data()[9] = 1;
    ASSERT_TRUE(block.Grow(12345));
    EXPECT_EQ(block.Data()[9], 1);
    EXPECT_TRUE(AllZero(block.Data(), 10, 12345));

    GrowBlock empty;
    ASSERT_TRUE(empty.Create(0));
    EXPECT_TRUE(empty.IsValid());
    ASSERT_TRUE(empty.Grow(100));
    EXPECT_TRUE(AllZero(empty.Data(), 0, 100));
}

TEST_F(GrowBlockTest, FaultSwitchFailsWithoutDamage) {
    const uint64_t g = AllocationGranule();
    GrowBlock block;
    fault::FailNthAllocation(1);
    SetLastError(0);
    EXPECT_FALSE(block.Create(g));
    EXPECT_EQ(GetLastError(), kErrorNotEnoughMemory);
    EXPECT_FALSE(block.IsValid());

    ASSERT_TRUE(block.Create(g));
    block.Data()[0] = 77;
    fault::FailNthAllocation(2);
    ASSERT_TRUE(block.Grow(2 * g));
    uint8_t* before = block.Data();
    SetLastError(0);
    EXPECT_FALSE(block.Grow(64 * g));
    EXPECT_EQ(GetLastError(), kErrorNotEnoughMemory);
    EXPECT_EQ(block.Capacity(), 2 * g);
    EXPECT_EQ(block.Data()[0], 77);
    EXPECT_EQ(block.Data(), before);
    EXPECT_TRUE(block.Grow(64 * g));

    GrowBlock huge;
    EXPECT_FALSE(huge.Create(UINT64_MAX - 10));
    EXPECT_EQ(GetLastError(), kErrorNotEnoughMemory);
    EXPECT_FALSE(huge.IsValid());
}

TEST_F(GrowBlockTest, MovesHandOverTheBlock) {
    GrowBlock a;
    ASSERT_TRUE(a.Create(4096));
    a.Data()[100] = 9;
    GrowBlock b(std::move(a));
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ(a.Capacity(), 0u);
    ASSERT_TRUE(b.IsValid());
    EXPECT_EQ(b.Data()[100], 9);
    GrowBlock c;
    ASSERT_TRUE(c.Create(100));
    c = std::move(b);
    EXPECT_EQ(c.Data()[100], 9);
    EXPECT_EQ(c.Capacity(), 4096u);
}

#ifdef _WIN32
// The process's working set in bytes.
uint64_t ResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))) {
        ADD_FAILURE() << "no memory counters";
        return 0;
    }
    return counters.WorkingSetSize;
}
#else
// Resident set size in bytes, from /proc/self/statm.
uint64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    uint64_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}
#endif

TEST_F(GrowBlockTest, LargeReservationCostsNothingUntilTouched) {
    constexpr uint64_t kGiB = 1ull << 30;
    GrowBlock block;
    const uint64_t before = ResidentBytes();
    if (!block.Create(8 * kGiB)) {
        GTEST_SKIP() << "this machine refuses an 8 GiB reservation";
    }
    block.Data()[0] = 1;
    block.Data()[8 * kGiB - 1] = 2;
    ASSERT_TRUE(block.Grow(12 * kGiB));
    block.Data()[12 * kGiB - 1] = 3;
    const uint64_t after = ResidentBytes();
    EXPECT_LT(after - std::min(after, before), 64ull << 20);
    EXPECT_EQ(block.Data()[0], 1);
    EXPECT_EQ(block.Data()[8 * kGiB - 1], 2);
    EXPECT_EQ(block.Data()[10 * kGiB], 0);
}

}  // namespace
}  // namespace tessary
