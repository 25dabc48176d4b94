// The line store's text filled while its page helper prepares ahead: the same records, through
// growth, forgetting, destruction and re-creation.
#include <gtest/gtest.h>

#include <string>

#include "decode/LineStore.h"

namespace tessary {
namespace {

std::u16string TextOf(uint32_t i) {
    std::u16string text = u"record ";
    for (uint32_t n = i;; n /= 10) {
        text += static_cast<char16_t>(u'0' + n % 10);
        if (n < 10) {
            break;
        }
    }
    // Lengths vary so that records straddle pages in every way.
    text.append(i % 97, static_cast<char16_t>(u'a' + i % 26));
    return text;
}

// Appends `count` records from `from`; false at the first failure.
bool Fill(LineStore& store, uint32_t from, uint32_t count) {
    for (uint32_t i = from; i < from + count; ++i) {
        if (store.Append(TextOf(i), i * 100 / (from + count) + 1) == nullptr) {
            return false;
        }
    }
    return true;
}

uint32_t WrongRecords(const LineStore& store) {
    uint32_t wrong = 0;
    for (uint32_t i = store.FirstIndex(); i < store.LineCount(); ++i) {
        const MessageRecord* record = store.Record(i);
        wrong += record == nullptr || record->Index != i || record->TextView() != TextOf(i) ||
                 record->RowSlot[0] != -1;
    }
    return wrong;
}

TEST(LineStorePages, RecordsReadBackThroughGrowth) {
    // Small blocks at first, so the text block grows (and may move) many times while the
    // helper follows it.
    LineStore store;
    store.Create(4096, 64 << 10);
    constexpr uint32_t kCount = 400000;
    ASSERT_TRUE(Fill(store, 0, kCount));
    EXPECT_GT(store.TextUsed(), uint64_t{40} << 20);
    EXPECT_EQ(store.LineCount(), kCount);
    EXPECT_EQ(WrongRecords(store), 0u);
}

TEST(LineStorePages, ForgottenAndRefilledStoreKeepsItsRecords) {
    LineStore store;
    store.Create(1 << 20, 8 << 20);
    uint32_t next = 0;
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(Fill(store, next, 20000));
        next += 20000;
        store.Forget(next - 300, next - 5000);
        EXPECT_EQ(WrongRecords(store), 0u) << "round " << round;
        EXPECT_EQ(store.Record(next - 5000)->TextView(), TextOf(next - 5000));
    }
}

TEST(LineStorePages, DestroyedAndCreatedAgainWhileTheHelperRuns) {
    // The helper is mid-way through the pages ahead when the text block goes; the sanitizer
    // builds show any touch of a freed mapping.
    LineStore store;
    for (int round = 0; round < 30; ++round) {
        store.Create(1 << 16, static_cast<uint64_t>(1 + round % 3) << 20);
        ASSERT_TRUE(Fill(store, 0, 5000 + 3000 * static_cast<uint32_t>(round % 4)));
        EXPECT_EQ(WrongRecords(store), 0u);
        if (round % 2 == 0) {
            store.DestroyText();
            store.DestroyTable();
        }
    }
    {
        LineStore leaving;
        leaving.Create(1 << 16, 4 << 20);
        ASSERT_TRUE(Fill(leaving, 0, 20000));
    }  // destroyed with the helper following its text
}

}  // namespace
}  // namespace tessary
