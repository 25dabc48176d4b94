#include <gtest/gtest.h>

#include "cli/CliOptions.h"
#include "cli/DumpOutput.h"
#include "logfile/LogTime.h"
#include "platform/Calendar.h"

namespace tessary::cli {
namespace {

TEST(CliOptionsTest, ParsesModesValuesAndRejectsBadUsage) {
    CliOptions options;
    std::string error;
    ASSERT_EQ(ParseCliOptions({"--wrap=20", "--line", "2", "--hide-rr", "--search", "<CH=01>",
                               "--date-format", "3", "--crlf", "x.dat"},
                              options, error),
              ParseResult::kRun)
        << error;
    EXPECT_EQ(options.wrap, 20);
    EXPECT_EQ(options.line, 2);
    EXPECT_TRUE(options.hideRr);
    EXPECT_EQ(options.search, "<CH=01>");
    EXPECT_EQ(options.dateFormat, 3);
    EXPECT_TRUE(options.crlf);
    EXPECT_EQ(options.file, "x.dat");
    ASSERT_EQ(ParseCliOptions({"--divide", "out", "--", "-odd.dat"}, options, error),
              ParseResult::kRun);
    EXPECT_EQ(options.mode, Mode::kDivide);
    EXPECT_EQ(options.divideDir, "out");
    EXPECT_EQ(options.file, "-odd.dat");
    ASSERT_EQ(ParseCliOptions({"--call", "0000123", "a.dat"}, options, error), ParseResult::kRun);
    EXPECT_EQ(options.callId, 123u);

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--wrap", "128", "a"},
                                               {"--date-format", "x", "a"},
                                               {"--call", "-1", "a"},
                                               {"--search", "", "a"},
                                               {"--search", "a", "--call", "1", "a"},
                                               {"--pcap", "p", "--header", "a"},
                                               {"--hide-rr=1", "a"},
                                               {"a", "b"},
                                               {"--wrap"}}) {
        EXPECT_EQ(ParseCliOptions(bad, options, error), ParseResult::kUsageError) << bad[0];
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(ParseCliOptions({"-h"}, options, error), ParseResult::kHelp);
}

TEST(DumpOutputTest, JsonStringsAndRecordTimes) {
    EXPECT_EQ(JsonString(u"a\"b\\c\nd\x01\tＡ"), "\"a\\\"b\\\\c\\nd\\u0001\\tＡ\"");
    SystemTime start{2024, 6, 0, 7, 12, 34, 56, 789};
    int64_t base = 0;
    ASSERT_TRUE(SystemTimeToTicks(start, base));
    std::string text;
    ASSERT_TRUE(FormatRecordDateTime(base, 86400000 + 211, text));
    EXPECT_EQ(text, "2024/06/08 12:34:57.000");
    EXPECT_FALSE(FormatRecordDateTime(0, 5, text));
}

}  // namespace
}  // namespace tessary::cli
