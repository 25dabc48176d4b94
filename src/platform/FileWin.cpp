// The Windows half of File.h: the system's own calls, whose error numbers are already the ones
// results speak in.
#ifdef _WIN32

#include "platform/WinApi.h"

#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "platform/File.h"
#include "platform/FileChecks.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

// Offsets stay within what a signed 64-bit file pointer can address.
constexpr uint64_t kMaxOffset = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());

bool Fail(uint32_t error) {
    SetLastError(error);
    return false;
}

bool FailWithSystemError() {
    const DWORD error = ::GetLastError();
    return Fail(error != ERROR_SUCCESS ? static_cast<uint32_t>(error) : kErrorGenFailure);
}

// The UTF-16 form of a UTF-8 path; false with the system's error when the bytes are not UTF-8.
bool WidePath(const PathString& path, std::wstring& wide) {
    wide.clear();
    if (path.empty()) {
        return Fail(kErrorPathNotFound);
    }
    if (path.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
        return Fail(kErrorFilenameExcedRange);
    }
    const int length = static_cast<int>(path.size());
    const int units =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (units <= 0) {
        return FailWithSystemError();
    }
    wide.resize(static_cast<size_t>(units));
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(),
                              units) != units) {
        return FailWithSystemError();
    }
    // A NUL inside the name would end it early for the system: no such file.
    if (wide.find(L'\0') != std::wstring::npos) {
        return Fail(kErrorInvalidName);
    }
    return true;
}

HANDLE Native(void* handle) {
    return static_cast<HANDLE>(handle);
}

// Readers share with other readers only; a writer shares with no one.
bool OpenHandle(const PathString& path, DWORD access, DWORD disposition, void*& handle) {
    std::wstring wide;
    if (!WidePath(path, wide)) {
        return false;
    }
    const DWORD share = access == GENERIC_READ ? FILE_SHARE_READ : 0;
    HANDLE h = ::CreateFileW(wide.c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return FailWithSystemError();
    }
    // A device or pipe is no log file; only disk files are opened.
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        return Fail(kErrorAccessDenied);
    }
    handle = h;
    return true;
}

OVERLAPPED At(uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// The attributes of a path; false with the error.
bool AttributesOf(const PathString& path, DWORD& attributes) {
    std::wstring wide;
    if (!WidePath(path, wide)) {
        return false;
    }
    attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FailWithSystemError();
    }
    return true;
}

}  // namespace

File::~File() {
    LastErrorKeeper keep;
    Close();
}

File::File(File&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        LastErrorKeeper keep;
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

bool File::OpenRead(const PathString& path) {
    Close();
    return OpenHandle(path, GENERIC_READ, OPEN_EXISTING, m_handle);
}

bool File::OpenReadWrite(const PathString& path) {
    Close();
    return OpenHandle(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, m_handle);
}

bool File::Create(const PathString& path, bool failIfExists) {
    Close();
    return OpenHandle(path, GENERIC_READ | GENERIC_WRITE, failIfExists ? CREATE_NEW : CREATE_ALWAYS,
                      m_handle);
}

bool File::Close() {
    if (m_handle == nullptr) {
        return true;
    }
    HANDLE h = Native(std::exchange(m_handle, nullptr));
    if (!::CloseHandle(h)) {
        return FailWithSystemError();
    }
    return true;
}

bool File::ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    if (!file_checks::BeforeRead(m_handle != nullptr, buffer, offset, count, kMaxOffset)) {
        return false;
    }
    // The offset travels with each call (as pread does), so no shared file pointer moves.
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        OVERLAPPED at = At(offset + done);
        DWORD got = 0;
        if (!::ReadFile(Native(m_handle), out + done, count - done, &got, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            return FailWithSystemError();
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return true;
}

bool File::WriteAt(uint64_t offset, const void* buffer, uint32_t count) {
    if (!file_checks::BeforeWrite(m_handle != nullptr, buffer, offset, count, kMaxOffset)) {
        return false;
    }
    const auto* in = static_cast<const uint8_t*>(buffer);
    uint32_t written = 0;
    while (written < count) {
        OVERLAPPED at = At(offset + written);
        DWORD put = 0;
        if (!::WriteFile(Native(m_handle), in + written, count - written, &put, &at)) {
            return FailWithSystemError();
        }
        if (put == 0) {
            return Fail(kErrorDiskFull);
        }
        written += put;
    }
    return true;
}

bool File::Size(uint64_t& size) const {
    if (m_handle == nullptr) {
        return Fail(kErrorInvalidHandle);
    }
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(Native(m_handle), &value)) {
        return FailWithSystemError();
    }
    size = value.QuadPart > 0 ? static_cast<uint64_t>(value.QuadPart) : 0;
    return true;
}

bool File::LastWriteTimeLocal(int64_t& ticks) const {
    if (m_handle == nullptr) {
        return Fail(kErrorInvalidHandle);
    }
    FILETIME written{};
    FILETIME local{};
    if (!::GetFileTime(Native(m_handle), nullptr, nullptr, &written) ||
        !::FileTimeToLocalFileTime(&written, &local)) {
        return FailWithSystemError();
    }
    const uint64_t value = (uint64_t{local.dwHighDateTime} << 32) | local.dwLowDateTime;
    if (value > kMaxOffset) {
        return Fail(kErrorInvalidParameter);
    }
    ticks = static_cast<int64_t>(value);
    return true;
}

bool File::Flush() {
    if (m_handle == nullptr) {
        return Fail(kErrorInvalidHandle);
    }
    if (!::FlushFileBuffers(Native(m_handle))) {
        return FailWithSystemError();
    }
    return true;
}

bool PathExists(const PathString& path) {
    DWORD attributes = 0;
    return AttributesOf(path, attributes);
}

bool IsDirectory(const PathString& path) {
    DWORD attributes = 0;
    return AttributesOf(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFilePath(const PathString& path) {
    std::wstring wide;
    if (!WidePath(path, wide)) {
        return false;
    }
    if (!::DeleteFileW(wide.c_str())) {
        return FailWithSystemError();
    }
    return true;
}

}  // namespace tessary

#endif  // _WIN32
