// Message templates filled in UTF-16: the same text as the C library's printf gives for the
// numbers, with Japanese templates and texts passed through untouched.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/FormatText.h"
#include "platform/Utf.h"

namespace tessary {
namespace {

template <typename T>
std::string CLibrary(const char* format, T value) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

template <typename T>
std::string Ours(const char* format, T value) {
    return Utf8(FormatText(Utf16(format), value));
}

TEST(FormatText, NumbersAsPrintfWritesThem) {
    const char* unsignedFormats[] = {"%u",   "%02u",  "%05u",   "%07u", "%3u",  "%-6u|", "%X",
                                     "%x",   "%04X",  "%08x",   "%#x",  "%#X",  "%o",    "%#o",
                                     "%.3u", "%6.3u", "%-06u|", "%.0u", "[%5X]"};
    const unsigned unsignedValues[] = {0u, 1u, 7u, 42u, 255u, 4096u, 99999u, 100000u, 4294967295u};
    for (const char* format : unsignedFormats) {
        for (unsigned value : unsignedValues) {
            EXPECT_EQ(Ours(format, value), CLibrary(format, value)) << format << ' ' << value;
        }
    }
    const char* signedFormats[] = {"%d", "%i", "%+d", "% d", "%05d", "%-5d|", "%+05d", "%.4d"};
    const int signedValues[] = {0, 1, -1, 123, -123, 2147483647, -2147483647 - 1};
    for (const char* format : signedFormats) {
        for (int value : signedValues) {
            EXPECT_EQ(Ours(format, value), CLibrary(format, value)) << format << ' ' << value;
        }
    }
    const unsigned long long big[] = {0ull, 18446744073709551615ull, 1234567890123ull};
    for (unsigned long long value : big) {
        EXPECT_EQ(Ours("%llu", value), CLibrary("%llu", value));
        EXPECT_EQ(Ours("%016llX", value), CLibrary("%016llX", value));
    }
    EXPECT_EQ(Ours("%lld", -9000000000ll), CLibrary("%lld", -9000000000ll));
    // A negative int for %u counts round as printf's does.
    EXPECT_EQ(Ours("%u", -2), CLibrary("%u", -2));
}

TEST(FormatText, TextsCharactersAndSeveralArguments) {
    EXPECT_EQ(
        Utf8(FormatText(u"補正前 「%s」\n\n補正後 「%s」", u"2024/06/07", std::u16string(u"明日"))),
        "補正前 「2024/06/07」\n\n補正後 「明日」");
    EXPECT_EQ(Utf8(FormatText(u"[%c %llu日 %02u時間%02u分%02u.%03u秒]", '+', 3ull, 4u, 5u, 6u, 7u)),
              "[+ 3日 04時間05分06.007秒]");
    EXPECT_EQ(Utf8(FormatText(u"<%8s|%-8s|%.2s>", u"ab", u"cd", u"全角文字")),
              "<      ab|cd      |全角>");
    EXPECT_EQ(Utf8(FormatText(u"%c%c", u'着', 'x')), "着x");
    EXPECT_EQ(Utf8(FormatText(u"100%% %s", u"done")), "100% done");
    EXPECT_EQ(Utf8(FormatText(u"%*u|%-*u|%.*u", 5, 42u, 4, 7u, 3, 9u)), "   42|7   |009");
    EXPECT_EQ(Utf8(FormatText(u"no conversion")), "no conversion");
    // The surrogate pair of a character outside the BMP passes through whole.
    EXPECT_EQ(Utf8(FormatText(u"%s", u"\U0001F600")), "\U0001F600");
}

TEST(FormatText, MissingOrMismatchedArgumentsWriteNothingAndNeverRead) {
    EXPECT_EQ(Utf8(FormatText(u"Error = %u")), "Error = ");
    EXPECT_EQ(Utf8(FormatText(u"%u and %u", 1u)), "1 and ");
    EXPECT_EQ(Utf8(FormatText(u"<%s>", 5u)), "<>");
    EXPECT_EQ(Utf8(FormatText(u"<%u>", u"text")), "<>");
    // Unknown conversions and a trailing '%' are copied as written.
    EXPECT_EQ(Utf8(FormatText(u"%q %", 1u)), "%q %");
    EXPECT_EQ(Utf8(FormatText(u"50%")), "50%");
    EXPECT_EQ(Utf8(FormatText(u"%08", 1u)), "%08");
    // A huge width is bounded instead of allocating without end.
    EXPECT_EQ(FormatText(u"%999999999u", 1u).size(), 100000u);
}

}  // namespace
}  // namespace tessary
