#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/LastError.h"
#include "platform/Trace.h"
#include "platform/Utf.h"

namespace tessary {
namespace {

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTraceSink([this](std::u16string_view line) {
            m_lines.emplace_back(line);
            SetLastError(5);  // a sink that disturbs the error must not leak it
        });
    }
    void TearDown() override { SetTraceSink({}); }

    std::vector<std::u16string> m_lines;
};

TEST_F(TraceTest, PrefixAndFormattedUtf8) {
    SetLastError(1234);
    Trace("CTessaryCan::FreeText(%s / %s) TblCnt %u.%03u\n", "行", "abc", 12u, 7u);
    EXPECT_EQ(GetLastError(), 1234u);
    ASSERT_EQ(m_lines.size(), 1u);
    EXPECT_EQ(m_lines[0], u"ZrTessaryView: CTessaryCan::FreeText(行 / abc) TblCnt 12.007\n");
}

TEST_F(TraceTest, CutToTheBufferWithItsTerminator) {
    const size_t room = kTraceBufferUnits - 1 - kTracePrefix.size();
    std::string exact(room, 'x');
    Trace("%s", exact.c_str());
    ASSERT_EQ(m_lines.size(), 1u);
    EXPECT_EQ(m_lines[0].size(), kTraceBufferUnits - 1);

    std::string longer(5000, 'y');
    Trace("%s!", longer.c_str());
    ASSERT_EQ(m_lines.size(), 2u);
    EXPECT_EQ(m_lines[1].size(), kTraceBufferUnits - 1);
    EXPECT_EQ(m_lines[1].substr(0, kTracePrefix.size()), kTracePrefix);
    EXPECT_EQ(m_lines[1].back(), u'y');

    // Three-byte characters are one unit each: the cut counts UTF-16 units, not bytes.
    std::string kana;
    for (size_t i = 0; i < room + 10; ++i) {
        kana += "ア";
    }
    Trace("%s", kana.c_str());
    ASSERT_EQ(m_lines.size(), 3u);
    EXPECT_EQ(m_lines[2].size(), kTraceBufferUnits - 1);
    EXPECT_EQ(m_lines[2].back(), u'ア');
}

TEST_F(TraceTest, NeverSplitsASurrogatePair) {
    const size_t room = kTraceBufferUnits - 1 - kTracePrefix.size();
    // The pair would take the last unit of the buffer and the terminator's place.
    std::string text(room - 1, 'z');
    text += "\xF0\x9F\x98\x80";  // U+1F600
    Trace("%s", text.c_str());
    ASSERT_EQ(m_lines.size(), 1u);
    EXPECT_EQ(m_lines[0].size(), kTraceBufferUnits - 2);
    EXPECT_EQ(m_lines[0].back(), u'z');

    // One unit earlier it fits whole.
    text.erase(0, 1);
    Trace("%s", text.c_str());
    ASSERT_EQ(m_lines.size(), 2u);
    EXPECT_EQ(m_lines[1].size(), kTraceBufferUnits - 1);
    EXPECT_EQ(m_lines[1].back(), 0xDE00);
}

TEST_F(TraceTest, EmptySinkRestoresDefaultOutput) {
    SetTraceSink({});
    Trace("not captured %d", 1);
    EXPECT_TRUE(m_lines.empty());
}

void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

// Death-test children start afresh, so each reads the environment for the first time.
TEST(TraceOutput, StderrOnlyWhenAskedFor) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SetEnv("TESSARYVIEW_TRACE", "1");
            Trace("MainDlg End = %d (IDOK=%d)\n", 1, 1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "ZrTessaryView: MainDlg End = 1 \\(IDOK=1\\)");
    EXPECT_EXIT(
        {
            SetEnv("TESSARYVIEW_TRACE", "yes");
            Trace("hidden\n");
            std::fputs("quiet", stderr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^quiet$");
}

}  // namespace
}  // namespace tessary
