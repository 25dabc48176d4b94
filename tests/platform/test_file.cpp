#include <gtest/gtest.h>

#include "platform/WinApi.h"
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/Calendar.h"
#include "platform/FaultInjection.h"
#include "platform/File.h"
#include "platform/LastError.h"
#include "platform/WinError.h"
#include "support/CalendarTime.h"
#include "support/TempDir.h"

namespace tessary {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override { fault::Reset(); }
    void TearDown() override { fault::Reset(); }

    std::vector<uint8_t> Sample(size_t n) {
        std::vector<uint8_t> bytes(n);
        for (size_t i = 0; i < n; ++i) {
            bytes[i] = static_cast<uint8_t>(i * 7 + 3);
        }
        return bytes;
    }

    TempDir m_dir;
};

TEST(WinError, MapsErrnoInOnePlace) {
    EXPECT_EQ(WinErrorFromErrno(0), kErrorSuccess);
    EXPECT_EQ(WinErrorFromErrno(ENOENT), kErrorFileNotFound);
    EXPECT_EQ(WinErrorFromErrno(ENOTDIR), kErrorPathNotFound);
    EXPECT_EQ(WinErrorFromErrno(EACCES), kErrorAccessDenied);
    EXPECT_EQ(WinErrorFromErrno(EROFS), kErrorAccessDenied);
    EXPECT_EQ(WinErrorFromErrno(ENOMEM), kErrorNotEnoughMemory);
    EXPECT_EQ(WinErrorFromErrno(ETXTBSY), kErrorSharingViolation);
#ifdef EDQUOT
    EXPECT_EQ(WinErrorFromErrno(EDQUOT), kErrorDiskFull);
#endif
    EXPECT_EQ(WinErrorFromErrno(EFBIG), kErrorDiskFull);
    EXPECT_EQ(WinErrorFromErrno(EIO), kErrorReadFault);
    EXPECT_EQ(WinErrorFromErrno(ENODEV), kErrorNotReady);
    EXPECT_EQ(WinErrorFromErrno(EHOSTUNREACH), kErrorBadNetPath);
    EXPECT_EQ(WinErrorFromErrno(EMFILE), kErrorTooManyOpenFiles);
    EXPECT_EQ(WinErrorFromErrno(99999), kErrorGenFailure);
}

TEST_F(FileTest, OpenFailuresCarryWindowsErrors) {
    File file;
    SetLastError(0);
    EXPECT_FALSE(file.OpenRead(m_dir.File("missing.dat")));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(file.OpenRead(m_dir.File("no-folder/missing.dat")));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_FALSE(file.OpenReadWrite(m_dir.File("no-folder/deeper/missing.dat")));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_FALSE(PathExists(m_dir.File("no-folder/x")));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_FALSE(file.OpenRead("relative-missing.dat"));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(file.Create(m_dir.File("no-folder/new.dat"), true));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);

    WriteBytes(m_dir.File("plain.dat"), {1, 2, 3});
    EXPECT_FALSE(file.OpenRead(m_dir.File("plain.dat/inner.dat")));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);

    // A folder opened as a file is access denied, as CreateFileW reports it.
    EXPECT_FALSE(file.OpenRead(m_dir.Path()));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_FALSE(file.OpenReadWrite(m_dir.Path()));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_FALSE(file.Create(m_dir.Path(), false));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_FALSE(file.IsOpen());

    EXPECT_FALSE(file.OpenRead(m_dir.File(std::string(300, 'x'))));
#ifdef _WIN32
    // The system's own answer, which depends on its long-path setting (Wine: not found).
    const uint32_t error = GetLastError();
    EXPECT_TRUE(error == kErrorFileNotFound || error == kErrorPathNotFound ||
                error == kErrorInvalidName || error == kErrorFilenameExcedRange)
        << error;
#else
    EXPECT_EQ(GetLastError(), kErrorFilenameExcedRange);
#endif
}

#ifdef _WIN32
TEST_F(FileTest, UnreadableFileIsAccessDenied) {
    GTEST_SKIP() << "Windows denies a read through the file's access list, which takes a second "
                    "account to set up; Wine runs as the Unix user and keeps no access lists";
}

// Windows keeps other openers out where the POSIX half cannot: readers share with readers, a
// writer with no one.
TEST_F(FileTest, SecondWriterIsASharingViolation) {
    const std::string path = m_dir.File("shared.dat");
    File writer;
    ASSERT_TRUE(writer.Create(path, true));
    const uint8_t bytes[3] = {1, 2, 3};
    ASSERT_TRUE(writer.WriteAt(0, bytes, 3));
    File second;
    EXPECT_FALSE(second.OpenRead(path));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    EXPECT_FALSE(second.OpenReadWrite(path));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    EXPECT_FALSE(second.Create(path, false));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    // Deleting a file that is open without FILE_SHARE_DELETE is refused too.
    EXPECT_FALSE(DeleteFilePath(path));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    ASSERT_TRUE(writer.Close());

    File reader;
    ASSERT_TRUE(reader.OpenRead(path));
    ASSERT_TRUE(second.OpenRead(path));
    ASSERT_TRUE(second.Close());
    EXPECT_FALSE(second.OpenReadWrite(path));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    ASSERT_TRUE(reader.Close());
    ASSERT_TRUE(second.OpenReadWrite(path));
    uint8_t back[3] = {};
    uint32_t done = 0;
    ASSERT_TRUE(second.ReadAt(0, back, 3, done));
    EXPECT_EQ(done, 3u);
    EXPECT_EQ(back[2], 3);
}

TEST_F(FileTest, NamesAreUnicodeOnDisk) {
    // UTF-8 in, a UTF-16 name on the disk: the folder lists exactly this name.
    const std::string name = "\xE3\x83\xAD\xE3\x82\xB0 \xF0\x9F\x93\x9E.dat";  // ログ 📞
    File file;
    ASSERT_TRUE(file.Create(m_dir.File(name), true));
    ASSERT_TRUE(file.Close());
    WIN32_FIND_DATAW found{};
    const std::string pattern = m_dir.Path() + "/*.dat";
    const std::wstring widePattern(pattern.begin(), pattern.end());
    HANDLE search = ::FindFirstFileW(widePattern.c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    ::FindClose(search);
    EXPECT_EQ(std::wstring(found.cFileName), std::wstring(L"\u30ED\u30B0 \U0001F4DE.dat"));
    EXPECT_TRUE(PathExists(m_dir.File(name)));
    // Bytes that are not UTF-8 name no file.
    EXPECT_FALSE(file.OpenRead(m_dir.File("\xFF\xFE.dat")));
    EXPECT_EQ(GetLastError(), 1113u);  // ERROR_NO_UNICODE_TRANSLATION
}
#else
TEST_F(FileTest, UnreadableFileIsAccessDenied) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    const std::string path = m_dir.File("locked.dat");
    WriteBytes(path, {1});
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    File file;
    EXPECT_FALSE(file.OpenRead(path));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}
#endif

TEST_F(FileTest, CreateFailIfExistsKeepsTheOldFile) {
    const std::string path = m_dir.File("log.dat");
    WriteBytes(path, {9, 8, 7});
    File file;
    EXPECT_FALSE(file.Create(path, true));
    EXPECT_EQ(GetLastError(), kErrorFileExists);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{9, 8, 7}));

    ASSERT_TRUE(file.Create(path, false));  // truncates
    uint64_t size = 99;
    ASSERT_TRUE(file.Size(size));
    EXPECT_EQ(size, 0u);
    ASSERT_TRUE(file.Close());

    ASSERT_TRUE(file.Create(m_dir.File("fresh.dat"), true));
    EXPECT_TRUE(PathExists(m_dir.File("fresh.dat")));
}

TEST_F(FileTest, WriteThenReadBackWithShortReadAtTheEnd) {
    const std::string path = m_dir.File("data.dat");
    const std::vector<uint8_t> bytes = Sample(100000);
    {
        File file;
        ASSERT_TRUE(file.Create(path, true));
        ASSERT_TRUE(file.WriteAt(0, bytes.data(), 60000));
        ASSERT_TRUE(file.WriteAt(60000, bytes.data() + 60000, 40000));
        ASSERT_TRUE(file.Flush());
        ASSERT_TRUE(file.Close());
        EXPECT_TRUE(file.Close());  // a second close is harmless
    }
    EXPECT_EQ(ReadBytes(path), bytes);

    File file;
    ASSERT_TRUE(file.OpenRead(path));
    uint64_t size = 0;
    ASSERT_TRUE(file.Size(size));
    EXPECT_EQ(size, bytes.size());

    std::vector<uint8_t> buffer(5000, 0xEE);
    uint32_t done = 0;
    ASSERT_TRUE(file.ReadAt(1234, buffer.data(), 4000, done));
    EXPECT_EQ(done, 4000u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 4000, bytes.begin() + 1234));

    std::fill(buffer.begin(), buffer.end(), 0xEE);
    ASSERT_TRUE(file.ReadAt(bytes.size() - 10, buffer.data(), 5000, done));
    EXPECT_EQ(done, 10u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 10, bytes.end() - 10));
    EXPECT_EQ(buffer[10], 0xEE);

    ASSERT_TRUE(file.ReadAt(bytes.size() + 5, buffer.data(), 100, done));
    EXPECT_EQ(done, 0u);
    ASSERT_TRUE(file.ReadAt(UINT64_MAX / 2 - 10, buffer.data(), 100, done));
    EXPECT_EQ(done, 0u);
    ASSERT_TRUE(file.ReadAt(UINT64_MAX, buffer.data(), 100, done));
    EXPECT_EQ(done, 0u);

    SetLastError(0);
    EXPECT_FALSE(file.WriteAt(0, bytes.data(), 1));  // opened for reading only
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

TEST_F(FileTest, ReadWriteInPlaceAndGaps) {
    const std::string path = m_dir.File("inplace.dat");
    WriteBytes(path, {1, 2, 3, 4});
    File file;
    ASSERT_TRUE(file.OpenReadWrite(path));
    const uint8_t patch[2] = {0xAA, 0xBB};
    ASSERT_TRUE(file.WriteAt(1, patch, 2));
    ASSERT_TRUE(file.WriteAt(8, patch, 1));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 0xAA, 0xBB, 4, 0, 0, 0, 0, 0xAA}));

    ASSERT_TRUE(file.OpenReadWrite(path));  // never truncates
    uint64_t size = 0;
    ASSERT_TRUE(file.Size(size));
    EXPECT_EQ(size, 9u);
}

TEST_F(FileTest, ClosedHandleAndMoves) {
    File file;
    uint8_t byte = 0;
    uint32_t done = 7;
    EXPECT_FALSE(file.ReadAt(0, &byte, 1, done));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_EQ(done, 0u);
    uint64_t size = 0;
    EXPECT_FALSE(file.Size(size));

    const std::string path = m_dir.File("move.dat");
    WriteBytes(path, {42});
    ASSERT_TRUE(file.OpenRead(path));
    File moved(std::move(file));
    EXPECT_FALSE(file.IsOpen());
    ASSERT_TRUE(moved.ReadAt(0, &byte, 1, done));
    EXPECT_EQ(byte, 42);

    File other;
    ASSERT_TRUE(other.Create(m_dir.File("other.dat"), true));
    other = std::move(moved);
    ASSERT_TRUE(other.ReadAt(0, &byte, 1, done));
    EXPECT_EQ(done, 1u);
}

TEST_F(FileTest, FullDeviceReportsDiskFull) {
    File file;
    if (!file.OpenReadWrite("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const std::vector<uint8_t> bytes = Sample(100);
    EXPECT_FALSE(file.WriteAt(0, bytes.data(), 100));
    EXPECT_EQ(GetLastError(), kErrorDiskFull);
}

TEST_F(FileTest, FaultSwitchesHitTheArmedCall) {
    const std::string path = m_dir.File("fault.dat");
    const std::vector<uint8_t> bytes = Sample(64);
    WriteBytes(path, bytes);
    File file;
    ASSERT_TRUE(file.OpenReadWrite(path));
    uint8_t buffer[64];
    uint32_t done = 0;

    fault::FailNthRead(2);
    EXPECT_TRUE(file.ReadAt(0, buffer, 64, done));
    EXPECT_FALSE(file.ReadAt(0, buffer, 64, done));
    EXPECT_EQ(GetLastError(), kErrorReadFault);
    EXPECT_EQ(done, 0u);
    EXPECT_TRUE(file.ReadAt(0, buffer, 64, done));

    fault::FailNthRead(1, true);
    ASSERT_TRUE(file.ReadAt(0, buffer, 64, done));
    EXPECT_EQ(done, 32u);
    ASSERT_TRUE(file.ReadAt(0, buffer, 64, done));
    EXPECT_EQ(done, 64u);

    fault::FailNthWrite(1);
    const uint8_t zero[4] = {};
    EXPECT_FALSE(file.WriteAt(0, zero, 4));
    EXPECT_EQ(GetLastError(), kErrorWriteFault);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(path), bytes);
}

#ifdef _WIN32
TEST_F(FileTest, LastWriteTimeInLocalTime) {
    const std::string path = m_dir.File("stamp.dat");
    WriteBytes(path, {1});
    // 2024-01-02 03:04:05.678 UTC and 1234 ticks, written through the system.
    SYSTEMTIME utc{};
    utc.wYear = 2024;
    utc.wMonth = 1;
    utc.wDay = 2;
    utc.wHour = 3;
    utc.wMinute = 4;
    utc.wSecond = 5;
    utc.wMilliseconds = 678;
    FILETIME written{};
    ASSERT_TRUE(::SystemTimeToFileTime(&utc, &written));
    ULARGE_INTEGER value{};
    value.LowPart = written.dwLowDateTime;
    value.HighPart = written.dwHighDateTime;
    value.QuadPart += 1234;
    written.dwLowDateTime = value.LowPart;
    written.dwHighDateTime = value.HighPart;
    const std::wstring widePath(path.begin(), path.end());
    HANDLE h = ::CreateFileW(widePath.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::SetFileTime(h, nullptr, nullptr, &written));
    ::CloseHandle(h);

    File file;
    ASSERT_TRUE(file.OpenRead(path));
    int64_t ticks = 0;
    ASSERT_TRUE(file.LastWriteTimeLocal(ticks));
    // Local time is UTC moved by the zone's bias at that instant, whole minutes.
    FILETIME local{};
    ASSERT_TRUE(::FileTimeToLocalFileTime(&written, &local));
    const int64_t localTicks =
        static_cast<int64_t>((uint64_t{local.dwHighDateTime} << 32) | local.dwLowDateTime);
    EXPECT_EQ(ticks, localTicks);
    EXPECT_EQ((ticks - static_cast<int64_t>(value.QuadPart)) % (60 * kTicksPerSecond), 0);
    SystemTime shown{};
    ASSERT_TRUE(TicksToSystemTime(ticks, shown));
    EXPECT_EQ(shown.second, 5);
    EXPECT_EQ(shown.milliseconds, 678);
}
#else
TEST_F(FileTest, LastWriteTimeInLocalTime) {
    const std::string path = m_dir.File("stamp.dat");
    WriteBytes(path, {1});
    // 2024-01-02 03:04:05.678 UTC, seen from a zone nine hours east.
    struct tm utc {};
    utc.tm_year = 124;
    utc.tm_mon = 0;
    utc.tm_mday = 2;
    utc.tm_hour = 3;
    utc.tm_min = 4;
    utc.tm_sec = 5;
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = timegm(&utc);
    times[0].tv_nsec = times[1].tv_nsec = 678123400;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    const char* oldTz = std::getenv("TZ");
    std::string savedTz = oldTz ? oldTz : "";
    setenv("TZ", "JST-9", 1);
    tzset();
    File file;
    ASSERT_TRUE(file.OpenRead(path));
    int64_t ticks = 0;
    bool ok = file.LastWriteTimeLocal(ticks);
    if (oldTz) {
        setenv("TZ", savedTz.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
    ASSERT_TRUE(ok);

    const SystemTime expected = test::MakeSystemTime(2024, 1, 2, 12, 4, 5, 678);
    int64_t expectedTicks = 0;
    ASSERT_TRUE(SystemTimeToTicks(expected, expectedTicks));
    EXPECT_EQ(ticks, expectedTicks + 1234);
}
#endif

TEST_F(FileTest, AttributesAndDelete) {
    const std::string path = m_dir.File("gone.dat");
    WriteBytes(path, {1});
    EXPECT_TRUE(PathExists(path));
    EXPECT_FALSE(IsDirectory(path));
    EXPECT_TRUE(IsDirectory(m_dir.Path()));
    EXPECT_TRUE(DeleteFilePath(path));
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(IsDirectory(path));
    EXPECT_FALSE(DeleteFilePath(path));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(DeleteFilePath(m_dir.Path()));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_TRUE(IsPathSeparator('/'));
    EXPECT_FALSE(IsPathSeparator('a'));
}

}  // namespace
}  // namespace tessary
