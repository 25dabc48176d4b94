#include <gtest/gtest.h>

#include "platform/OsVersion.h"

namespace tessary {
namespace {

TEST(OsVersion, TheRunningSystemTellsItsNumbers) {
    OsVersion version{7, 7, 7};
    int error = -1;
    ASSERT_TRUE(QueryOsVersion(version, error));
#ifdef _WIN32
    // Windows XP was 5.1; every system this runs on reports more and a build number.
    EXPECT_GE(version.major, 5u);
    EXPECT_GT(version.build, 0u);
#else
    // A kernel release such as 6.1.0: never all zero.
    EXPECT_GT(version.major + version.minor + version.build, 0u);
#endif
    EXPECT_EQ(error, -1);  // untouched on success
}

}  // namespace
}  // namespace tessary
