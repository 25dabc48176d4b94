#include <gtest/gtest.h>

#include <string>

#include "platform/Utf.h"

namespace tessary {
namespace {

TEST(Utf, RoundTripsValidText) {
    const std::u16string text = u"A é あ　①\U0001F600 ｱz";
    EXPECT_EQ(Utf16(Utf8(text)), text);
    EXPECT_EQ(Utf8(u"局"), "\xE5\xB1\x80");
    EXPECT_EQ(Utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

TEST(Utf, UnpairedSurrogatesBecomeReplacement) {
    const char16_t lone[] = {u'a', 0xD83D, u'b', 0xDE00};
    EXPECT_EQ(Utf8(std::u16string_view(lone, 4)),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    const char16_t endsHigh[] = {0xD83D};
    EXPECT_EQ(Utf8(std::u16string_view(endsHigh, 1)), "\xEF\xBF\xBD");
}

TEST(Utf, BadBytesBecomeReplacement) {
    EXPECT_EQ(Utf16("a\xFF"
                    "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf16("\x80"), u"\uFFFD");
    EXPECT_EQ(Utf16("\xC0\xAF"), u"\uFFFD\uFFFD");                      // overlong
    EXPECT_EQ(Utf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
    EXPECT_EQ(Utf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
    EXPECT_EQ(Utf16("\xE3\x81"), u"\uFFFD");                            // cut at the end
    EXPECT_EQ(Utf16("\xE3\x81z"), u"\uFFFDz");  // the next character survives
    EXPECT_EQ(Utf16("\xF0\x9F\x98"), u"\uFFFD");
}

}  // namespace
}  // namespace tessary
