// Windows error numbers worded by a caller's own table, with its fallback for the rest.
#include <gtest/gtest.h>

#include "platform/ErrorText.h"
#include "platform/File.h"
#include "platform/LastError.h"
#include "platform/Utf.h"
#include "platform/WinError.h"
#include "support/TempDir.h"

namespace tessary {
namespace {

constexpr ErrorText kTable[] = {
    {kErrorFileNotFound, u"ファイルが存在していません。"},
    {kErrorPathNotFound, u"サブフォルダーが存在していません。"},
    {kErrorBadUnit, u"ドライブ"},
    {kErrorNotReady, u"ドライブ"},
};

TEST(ErrorText, NamedNumbersTakeTheirTextTheRestTheFallback) {
    EXPECT_EQ(Utf8(ErrorMessage(kTable, kErrorFileNotFound, u"Error = %u")),
              "ファイルが存在していません。");
    EXPECT_EQ(Utf8(ErrorMessage(kTable, kErrorNotReady, u"Error = %u")), "ドライブ");
    EXPECT_EQ(Utf8(ErrorMessage(kTable, kErrorSharingViolation, u"Error = %u")), "Error = 32");
    EXPECT_EQ(Utf8(ErrorMessage(kTable, 0, u"Error = %u")), "Error = 0");
    EXPECT_EQ(Utf8(ErrorMessage(kTable, 4294967295u, u"オープンできません。 \n\nError = %u")),
              "オープンできません。 \n\nError = 4294967295");
    // A caller without texts of its own only has the fallback.
    EXPECT_EQ(Utf8(ErrorMessage({}, kErrorFileNotFound, u"Error = %u")), "Error = 2");
}

TEST(ErrorText, ErrorOrOneNeverReportsSuccessForAFailure) {
    test::TempDir dir;
    File file;
    ASSERT_FALSE(file.OpenRead(dir.File("missing.dat")));
    EXPECT_EQ(ErrorOrOne(), kErrorFileNotFound);
    // A failure that left no error behind still counts as one.
    SetLastError(kErrorSuccess);
    EXPECT_EQ(ErrorOrOne(), kErrorInvalidFunction);
    SetLastError(kErrorDiskFull);
    EXPECT_EQ(ErrorOrOne(), kErrorDiskFull);
}

}  // namespace
}  // namespace tessary
