#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/GrowBlock.h"
#include "platform/PagePreparer.h"

namespace tessary {
namespace {

// Waits until the helper has prepared at least `bytes` (or gives up after a generous while;
// the caller's expectation then fails).
uint64_t WaitPrepared(const PagePreparer& pages, uint64_t bytes) {
    for (int i = 0; i < 20000 && pages.Prepared() < bytes; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return pages.Prepared();
}

TEST(PagePreparer, StaysABoundedLeadAheadOfTheWriter) {
    GrowBlock block;
    constexpr uint64_t kBytes = uint64_t{64} << 20;
    ASSERT_TRUE(block.Create(kBytes));
    PagePreparer pages;
    pages.Follow(block.Data(), block.Capacity(), 0);
    constexpr uint64_t kUsed = uint64_t{3} << 20;
    pages.Post(kUsed);
#if defined(__linux__)
    // Prepared up to the lead past the reported end, never further.
    EXPECT_EQ(WaitPrepared(pages, kUsed + PagePreparer::kLead), kUsed + PagePreparer::kLead);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(pages.Prepared(), kUsed + PagePreparer::kLead);
    // Ends below the next report step are not passed on; the block's end bounds the lead.
    pages.Post(kUsed + PagePreparer::kPostStep - 1);
    pages.Post(kBytes - 100);
    EXPECT_EQ(WaitPrepared(pages, kBytes), kBytes);
#else
    EXPECT_EQ(pages.Prepared(), 0u);
#endif
    pages.Release();
    EXPECT_EQ(pages.Prepared(), 0u);
    // Preparing never changes what the block holds: still zero everywhere.
    bool zero = true;
    for (uint64_t i = 0; i < kBytes; i += 4096) {
        zero = zero && block.Data()[i] == 0 && block.Data()[i + 4095] == 0;
    }
    EXPECT_TRUE(zero);
}

TEST(PagePreparer, WriterContentsSurviveThePreparing) {
    GrowBlock block;
    constexpr uint64_t kBytes = uint64_t{48} << 20;
    ASSERT_TRUE(block.Create(kBytes));
    PagePreparer pages;
    pages.Follow(block.Data(), block.Capacity(), 0);
    // The writer fills the block in small pieces and reports as it goes, while the helper
    // prepares the pages just ahead (and at times the very page being written).
    uint8_t piece[1000];
    for (uint64_t at = 0; at + sizeof piece <= kBytes; at += sizeof piece) {
        for (size_t k = 0; k < sizeof piece; ++k) {
            piece[k] = static_cast<uint8_t>((at + k) * 131 + 7);
        }
        std::memcpy(block.Data() + at, piece, sizeof piece);
        pages.Post(at + sizeof piece);
    }
    pages.Release();
    uint64_t wrong = 0;
    const uint64_t written = kBytes / sizeof piece * sizeof piece;
    for (uint64_t i = 0; i < written; ++i) {
        wrong += block.Data()[i] != static_cast<uint8_t>(i * 131 + 7);
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(PagePreparer, BlocksFreedGrownAndMadeAnewWhileFollowed) {
    // Each round lets go before the block changes, as the stores do; under the sanitizers
    // a touch of a freed or moved mapping would show.
    PagePreparer pages;
    for (int round = 0; round < 12; ++round) {
        GrowBlock block;
        ASSERT_TRUE(block.Create(uint64_t{2} << 20));
        pages.Follow(block.Data(), block.Capacity(), 0);
        uint64_t used = 0;
        for (int step = 0; step < 5; ++step) {
            used = block.Capacity() - 4096;
            std::memset(block.Data(), round, static_cast<size_t>(used));
            pages.Post(used);
            pages.Release();
            ASSERT_TRUE(block.Grow(block.Capacity() * 2));
            pages.Follow(block.Data(), block.Capacity(), used);
        }
        pages.Release();
        block.Destroy();
    }
    // A preparer destroyed while it follows a block stops before the block goes.
    GrowBlock block;
    ASSERT_TRUE(block.Create(uint64_t{32} << 20));
    {
        PagePreparer last;
        last.Follow(block.Data(), block.Capacity(), 0);
        last.Post(uint64_t{20} << 20);
    }
    block.Destroy();
}

}  // namespace
}  // namespace tessary
