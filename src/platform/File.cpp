#include "platform/File.h"

namespace tessary {

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

}  // namespace tessary

// The Windows half is FileWin.cpp.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <limits>
#include <utility>

#include "platform/Calendar.h"
#include "platform/FileChecks.h"
#include "platform/LastError.h"
#include "platform/TimeMath.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

// 1970-01-01 in ticks since 1601-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000;

bool FailWithErrno() {
    int err = errno;
    SetLastError(err != 0 ? WinErrorFromErrno(err) : kErrorGenFailure);
    return false;
}

// Windows tells a missing folder (3) from a missing file (2); POSIX says ENOENT for both.
bool FailForPath(const PathString& path) {
    int err = errno;
    if (err == ENOENT) {
        size_t end = path.size();
        while (end > 0 && IsPathSeparator(path[end - 1])) {
            --end;
        }
        size_t cut = end;
        while (cut > 0 && !IsPathSeparator(path[cut - 1])) {
            --cut;
        }
        while (cut > 1 && IsPathSeparator(path[cut - 1])) {
            --cut;
        }
        if (cut > 0) {
            struct stat st {};
            PathString folder = path.substr(0, cut);
            if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                SetLastError(kErrorPathNotFound);
                return false;
            }
        }
    }
    errno = err;
    return FailWithErrno();
}

bool Fail(uint32_t error) {
    SetLastError(error);
    return false;
}

constexpr uint64_t kMaxOffset = static_cast<uint64_t>(std::numeric_limits<off_t>::max());

// Reads and writes wait again once the file is open (it is opened without waiting, so that
// opening a FIFO does not block).
int Blocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

// The status of an open file; false with the error (6 when none is open).
bool StatOpen(int fd, struct stat& st) {
    if (fd < 0) {
        return Fail(kErrorInvalidHandle);
    }
    if (::fstat(fd, &st) != 0) {
        return FailWithErrno();
    }
    return true;
}

// The status of a path; false with the error as Windows gives it.
bool StatPath(const PathString& path, struct stat& st) {
    if (::stat(path.c_str(), &st) != 0) {
        return FailForPath(path);
    }
    return true;
}

}  // namespace

File::~File() {
    LastErrorKeeper keep;
    Close();
}

File::File(File&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        LastErrorKeeper keep;
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool File::OpenRead(const PathString& path) {
    Close();
    // O_NONBLOCK keeps a FIFO from hanging the open; it is cleared again below.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return FailForPath(path);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        bool result = FailWithErrno();
        ::close(fd);
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        // CreateFileW refuses a folder opened as a file with access denied.
        ::close(fd);
        return Fail(kErrorAccessDenied);
    }
    m_fd = Blocking(fd);
    return true;
}

bool File::OpenReadWrite(const PathString& path) {
    Close();
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return FailForPath(path);
    }
    m_fd = Blocking(fd);
    return true;
}

bool File::Create(const PathString& path, bool failIfExists) {
    Close();
    int flags = O_RDWR | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        return FailForPath(path);
    }
    m_fd = fd;
    return true;
}

bool File::Close() {
    if (m_fd < 0) {
        return true;
    }
    int fd = std::exchange(m_fd, -1);
    // On Linux the descriptor is gone even when close is interrupted.
    if (::close(fd) != 0 && errno != EINTR) {
        return FailWithErrno();
    }
    return true;
}

bool File::ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    if (!file_checks::BeforeRead(m_fd >= 0, buffer, offset, count, kMaxOffset)) {
        return false;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        uint64_t at = offset + done;
        ssize_t got = ::pread(m_fd, out + done, count - done, static_cast<off_t>(at));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FailWithErrno();
        }
        if (got == 0) {
            break;
        }
        done += static_cast<uint32_t>(got);
    }
    return true;
}

bool File::WriteAt(uint64_t offset, const void* buffer, uint32_t count) {
    if (!file_checks::BeforeWrite(m_fd >= 0, buffer, offset, count, kMaxOffset)) {
        return false;
    }
    const auto* in = static_cast<const uint8_t*>(buffer);
    uint32_t written = 0;
    while (written < count) {
        ssize_t put =
            ::pwrite(m_fd, in + written, count - written, static_cast<off_t>(offset + written));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EBADF) {
                // The handle is open, only not for writing: WriteFile says access denied.
                return Fail(kErrorAccessDenied);
            }
            return FailWithErrno();
        }
        if (put == 0) {
            return Fail(kErrorDiskFull);
        }
        written += static_cast<uint32_t>(put);
    }
    return true;
}

bool File::Size(uint64_t& size) const {
    struct stat st {};
    if (!StatOpen(m_fd, st)) {
        return false;
    }
    size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    return true;
}

bool File::LastWriteTimeLocal(int64_t& ticks) const {
    struct stat st {};
    if (!StatOpen(m_fd, st)) {
        return false;
    }
    time_t seconds = st.st_mtim.tv_sec;
    struct tm local {};
    if (::localtime_r(&seconds, &local) == nullptr) {
        return Fail(kErrorInvalidParameter);
    }
    // Times before 1601 or past the tick range cannot be expressed.
    constexpr int64_t kMinSeconds = -kUnixEpochTicks / kTicksPerSecond;
    constexpr int64_t kMaxSeconds =
        (std::numeric_limits<int64_t>::max() - kUnixEpochTicks) / kTicksPerSecond - 1;
    int64_t localSeconds = 0;
    if (!CheckedAdd(static_cast<int64_t>(seconds), static_cast<int64_t>(local.tm_gmtoff),
                    localSeconds) ||
        localSeconds < kMinSeconds || localSeconds > kMaxSeconds) {
        return Fail(kErrorInvalidParameter);
    }
    ticks = kUnixEpochTicks + localSeconds * kTicksPerSecond + st.st_mtim.tv_nsec / 100;
    return true;
}

bool File::Flush() {
    if (m_fd < 0) {
        return Fail(kErrorInvalidHandle);
    }
    while (::fsync(m_fd) != 0) {
        if (errno != EINTR) {
            return FailWithErrno();
        }
    }
    return true;
}

bool PathExists(const PathString& path) {
    struct stat st {};
    return StatPath(path, st);
}

bool IsDirectory(const PathString& path) {
    struct stat st {};
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool DeleteFilePath(const PathString& path) {
    if (::unlink(path.c_str()) != 0) {
        return FailForPath(path);
    }
    return true;
}

}  // namespace tessary

#endif  // !_WIN32
