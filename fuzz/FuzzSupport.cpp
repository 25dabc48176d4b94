#include "FuzzSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Utf.h"

namespace tessary::fuzz {

MemoryFile::MemoryFile() {
    m_fd = ::memfd_create("tessary-fuzz", MFD_CLOEXEC);
    if (m_fd >= 0) {
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
        return;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tessary-fuzz-XXXXXX";
    m_fd = ::mkstemp(pattern.data());
    Require(m_fd >= 0, "no temporary file");
    m_path = pattern;
    m_unlinkPath = pattern;
}

MemoryFile::~MemoryFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (!m_unlinkPath.empty()) {
        ::unlink(m_unlinkPath.c_str());
    }
}

const std::string& MemoryFile::Write(const uint8_t* data, size_t size) {
    Require(::ftruncate(m_fd, 0) == 0, "ftruncate");
    size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
        Require(put > 0, "pwrite");
        done += static_cast<size_t>(put);
    }
    return m_path;
}

std::string_view InputCursor::Rest() {
    std::string_view rest(reinterpret_cast<const char*>(m_data) + m_offset, m_size - m_offset);
    m_offset = m_size;
    return rest;
}

std::string_view InputCursor::UpTo(uint8_t stop) {
    const size_t from = m_offset;
    while (m_offset < m_size && m_data[m_offset] != stop) {
        ++m_offset;
    }
    std::string_view part(reinterpret_cast<const char*>(m_data) + from, m_offset - from);
    if (m_offset < m_size) {
        ++m_offset;
    }
    return part;
}

std::u16string TextOf(std::string_view bytes, bool raw) {
    if (!raw) {
        return Utf16(bytes);
    }
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                             (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return text;
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

}  // namespace tessary::fuzz
