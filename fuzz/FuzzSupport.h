#pragma once
// Shared pieces of the fuzz targets: an in-memory file that the reader opens by path, the
// input cut into selector bytes and texts, and a check that aborts with a message (libFuzzer
// keeps the input that caused it).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessary::fuzz {

// A file in memory (memfd; a temporary file where that is missing), reopened by its path.
class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the contents; returns the path to open.
    const std::string& Write(const uint8_t* data, size_t size);
    const std::string& Path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
    std::string m_unlinkPath;  // the temporary file, when memfd is not available
};

// Takes selector bytes from the front of the input; 0 once it is used up.
class InputCursor {
public:
    InputCursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t Byte() { return m_offset < m_size ? m_data[m_offset++] : 0; }
    // The rest of the input, or up to the next `stop` byte (consumed, not included).
    std::string_view Rest();
    std::string_view UpTo(uint8_t stop);
    size_t Left() const { return m_size - m_offset; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
};

// Bytes as UTF-16: `raw` takes them as little-endian units (lone surrogates included),
// otherwise as UTF-8 (bad sequences become U+FFFD).
std::u16string TextOf(std::string_view bytes, bool raw);

// Aborts with the message when the condition does not hold.
void Require(bool condition, const char* what);

}  // namespace tessary::fuzz
