#include <gtest/gtest.h>

#include <string>

#include "platform/Width.h"

namespace tessary {
namespace {

TEST(Width, CodePage932Classes) {
    EXPECT_EQ(CharWidth(u'A'), 1);
    EXPECT_EQ(CharWidth(u' '), 1);
    EXPECT_EQ(CharWidth(u'\0'), 1);
    EXPECT_EQ(CharWidth(u'\n'), 1);
    EXPECT_EQ(CharWidth(u'ｱ'), 1);  // U+FF71 half-width katakana
    EXPECT_EQ(CharWidth(u'ﾟ'), 1);
    EXPECT_EQ(CharWidth(u'あ'), 2);
    EXPECT_EQ(CharWidth(u'　'), 2);  // U+3000
    EXPECT_EQ(CharWidth(u'①'), 2);   // NEC special characters
    EXPECT_EQ(CharWidth(u'≒'), 2);
    EXPECT_EQ(CharWidth(u'漢'), 2);
    EXPECT_EQ(CharWidth(u'Ａ'), 2);
    EXPECT_EQ(CharWidth(u'←'), 2);
    EXPECT_EQ(CharWidth(u'\uE000'), 2);  // user-defined area
    EXPECT_EQ(CharWidth(u'é'), 0);
    EXPECT_EQ(CharWidth(u'\uFFFD'), 0);
    EXPECT_EQ(CharWidth(u'한'), 0);
    EXPECT_EQ(CharWidth(u'\uFFFF'), 0);
    for (char16_t c = 0xD800; c < 0xE000; ++c) {
        ASSERT_EQ(CharWidth(c), 0) << static_cast<int>(c);
    }
    for (char16_t c = 0x20; c < 0x7F; ++c) {
        ASSERT_EQ(CharWidth(c), 1) << static_cast<int>(c);
    }
    for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) {
        ASSERT_EQ(CharWidth(c), 1) << static_cast<int>(c);
    }
    for (char16_t c = 0x3041; c <= 0x3093; ++c) {
        ASSERT_EQ(CharWidth(c), 2) << static_cast<int>(c);
    }
}

size_t Width(std::u16string_view s) {
    return TextWidth(s.data(), s.size());
}

TEST(Width, TextWidthCountsMissingAndPairsOnce) {
    EXPECT_EQ(Width(u""), 0u);
    EXPECT_EQ(TextWidth(nullptr, 5), 0u);
    EXPECT_EQ(Width(u"Ａ  TX  局 ←"), 13u);
    EXPECT_EQ(Width(u"ｱｲｳ"), 3u);
    EXPECT_EQ(Width(u"café"), 4u);          // é becomes one default character
    EXPECT_EQ(Width(u"a\U0001F600b"), 3u);  // a pair is one default character
    const char16_t loneHigh[] = {u'x', 0xD83D};
    EXPECT_EQ(TextWidth(loneHigh, 2), 2u);
    const char16_t loneLow[] = {0xDE00, 0xD83D, u'x'};
    EXPECT_EQ(TextWidth(loneLow, 3), 3u);
    // The length bounds the walk even where a pair would continue.
    const char16_t cut[] = {0xD83D, 0xDE00};
    EXPECT_EQ(TextWidth(cut, 1), 1u);
}

}  // namespace
}  // namespace tessary
