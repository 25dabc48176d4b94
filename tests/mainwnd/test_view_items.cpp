#include <gtest/gtest.h>

#include "mainwnd/ViewItems.h"

namespace tessary::test {
namespace {

TEST(ExchangeItems, NameTheOtherThreeBlocksInOrder) {
    struct Case {
        int shown;
        const char16_t* texts[3];
        int others[3];
    };
    const Case cases[] = {
        {0,
         {u"ブロックAと、ブロックBの位置を交換する", u"ブロックAと、ブロックCの位置を交換する",
          u"ブロックAと、ブロックDの位置を交換する"},
         {1, 2, 3}},
        {2,
         {u"ブロックCと、ブロックAの位置を交換する", u"ブロックCと、ブロックBの位置を交換する",
          u"ブロックCと、ブロックDの位置を交換する"},
         {0, 1, 3}},
        {3,
         {u"ブロックDと、ブロックAの位置を交換する", u"ブロックDと、ブロックBの位置を交換する",
          u"ブロックDと、ブロックCの位置を交換する"},
         {0, 1, 2}},
    };
    for (const Case& c : cases) {
        for (int k = 0; k < 3; ++k) {
            const ExchangeItem item = ExchangeItemOf(k, c.shown, true);
            EXPECT_EQ(item.text, c.texts[k]) << c.shown << " " << k;
            EXPECT_TRUE(item.enabled);
            EXPECT_EQ(item.otherBlock, c.others[k]);
        }
    }
}

TEST(ExchangeItems, NoFileOrNoPositionDisablesThem) {
    for (int k = 0; k < 3; ++k) {
        for (const auto& [shown, loaded] :
             {std::pair{0, false}, std::pair{3, false}, std::pair{-1, true}, std::pair{4, true}}) {
            const ExchangeItem item = ExchangeItemOf(k, shown, loaded);
            EXPECT_EQ(item.text, u"ブロック位置交換不可");
            EXPECT_FALSE(item.enabled);
            EXPECT_EQ(item.otherBlock, -1);
        }
    }
    EXPECT_FALSE(ExchangeItemOf(3, 1, true).enabled);
    EXPECT_FALSE(ExchangeItemOf(-1, 1, true).enabled);
}

TEST(BlockOrder, AscendingOnlyWhenEveryPaneShowsItsOwnBlock) {
    const int ascending[4] = {0, 1, 2, 3};
    const int swappedBc[4] = {0, 2, 1, 3};
    const int rotated[4] = {1, 2, 3, 0};
    const int lastTwo[4] = {0, 1, 3, 2};
    EXPECT_TRUE(IsAscendingOrder(ascending));
    EXPECT_FALSE(IsAscendingOrder(swappedBc));
    EXPECT_FALSE(IsAscendingOrder(rotated));
    EXPECT_FALSE(IsAscendingOrder(lastTwo));
}

TEST(FontSizeItems, ValueInTenthsAndTheEnabledRange) {
    EXPECT_EQ(FontSizeItemValue(u"9.0"), 90);
    EXPECT_EQ(FontSizeItemValue(u"9.5"), 95);
    EXPECT_EQ(FontSizeItemValue(u"20.0"), 200);
    EXPECT_EQ(FontSizeItemValue(u"8.5"), 85);
    EXPECT_EQ(FontSizeItemValue(u"20.5"), 205);
    EXPECT_EQ(FontSizeItemValue(u"x"), -1);
    EXPECT_EQ(FontSizeItemValue(u""), -1);
    EXPECT_EQ(FontSizeItemValue(u"1O.0"), -1);
    EXPECT_TRUE(IsFontSizeItemEnabled(FontSizeItemValue(u"9.0")));
    EXPECT_TRUE(IsFontSizeItemEnabled(FontSizeItemValue(u"20.0")));
    EXPECT_FALSE(IsFontSizeItemEnabled(FontSizeItemValue(u"8.5")));
    EXPECT_FALSE(IsFontSizeItemEnabled(FontSizeItemValue(u"20.5")));
    EXPECT_FALSE(IsFontSizeItemEnabled(FontSizeItemValue(u"x")));
}

TEST(RecentItems, NumberedByIndexModTenAndReadBack) {
    EXPECT_EQ(RecentItemText(0, u"/logs/a.dat"), u"&0 /logs/a.dat");
    EXPECT_EQ(RecentItemText(9, u"/logs/b.dat"), u"&9 /logs/b.dat");
    EXPECT_EQ(RecentItemText(10, u"/logs/c.dat"), u"&0 /logs/c.dat");
    EXPECT_EQ(RecentItemText(23, u"/logs/d.dat"), u"&3 /logs/d.dat");
    // Paths with blanks of their own come back whole.
    for (const std::u16string path :
         {u"/logs/a.dat", u"/home/ログ 2024/回線 1.dat", u" lead.dat"}) {
        for (size_t index : {size_t{0}, size_t{7}, size_t{10}}) {
            EXPECT_EQ(RecentItemPath(RecentItemText(index, path)), path);
        }
    }
    EXPECT_EQ(RecentItemPath(u"noblank"), u"noblank");
    EXPECT_EQ(RecentItemPath(u"&1 "), u"");
}

}  // namespace
}  // namespace tessary::test
