#pragma once
// A fresh folder per test under $TESSARY_TEST_TMP (or the system temp folder), removed again.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Utf.h"

namespace tessary::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a file inside the folder.
    std::string File(const std::string& name) const;

private:
    std::string m_path;
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
// The whole file as it is, no line ends changed; empty when it cannot be read.
std::string ReadText(const std::string& path);

using tessary::Utf16;
using tessary::Utf8;

}  // namespace tessary::test
