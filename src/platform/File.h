#pragma once
// A file handle with Windows-style results: every failing call returns false and leaves a
// Windows error number as the thread's last error (WinError.h).
#include <cstdint>
#include <string>

namespace tessary {

// Paths are UTF-8 (on Windows turned into UTF-16 for the system) and shown as the platform
// writes them.
using PathString = std::string;

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
bool IsPathSeparator(char c);

class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // An existing file for reading, others may read it too (OPEN_EXISTING, FILE_SHARE_READ).
    bool OpenRead(const PathString& path);
    // An existing file for reading and writing in place, never truncated (OPEN_EXISTING).
    bool OpenReadWrite(const PathString& path);
    // A new file for writing; fails with kErrorFileExists when failIfExists and it exists,
    // otherwise an existing file is truncated (CREATE_NEW / CREATE_ALWAYS).
    bool Create(const PathString& path, bool failIfExists);

#ifdef _WIN32
    bool IsOpen() const {
        return m_handle != nullptr;
    }
#else
    bool IsOpen() const {
        return m_fd >= 0;
    }
#endif
    // Closes the handle; false (with the error) when the close reported a failure.
    bool Close();

    // Reads up to count bytes at offset; `done` gets the bytes read (short at the end of file).
    bool ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t& done);
    // Writes count bytes at offset; a short write fails with kErrorDiskFull.
    bool WriteAt(uint64_t offset, const void* buffer, uint32_t count);
    bool Size(uint64_t& size) const;
    // Last-write time as 100 ns ticks since 1601-01-01 in local time (FileTimeToLocalFileTime).
    bool LastWriteTimeLocal(int64_t& ticks) const;
    bool Flush();

private:
#ifdef _WIN32
    void* m_handle = nullptr;  // a file HANDLE; INVALID_HANDLE_VALUE is never kept
#else
    int m_fd = -1;
#endif
};

// GetFileAttributesW stand-ins.
bool PathExists(const PathString& path);
bool IsDirectory(const PathString& path);
// Deletes a file; false with the error.
bool DeleteFilePath(const PathString& path);

}  // namespace tessary
