#pragma once
// UTF-16 (the decoded text) <-> UTF-8 (file names, CLI output). Unpaired surrogates and bad
// bytes become U+FFFD.
#include <string>
#include <string_view>

namespace tessary {

std::string Utf8(std::u16string_view text);
std::u16string Utf16(std::string_view utf8);

}  // namespace tessary
