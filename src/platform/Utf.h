#pragma once
// UTF-16 (the decoded text) <-> UTF-8 (file names, CLI output). Unpaired surrogates and bad
// bytes become U+FFFD.
#include <string>
#include <string_view>

namespace tessary {

std::string Utf8(std::u16string_view text);
// Appends the UTF-8 of `text` to `out` (one pass, no temporary).
void AppendUtf8(std::string& out, std::u16string_view text);
// Writes the UTF-8 of `text` at `out`, which has room for 3 bytes per unit; returns the end.
char* EncodeUtf8(std::u16string_view text, char* out);
std::u16string Utf16(std::string_view utf8);

}  // namespace tessary
