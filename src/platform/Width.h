#pragma once
// Display width of UTF-16 text as its byte length in code page 932 (the Japanese ANSI page),
// as WideCharToMultiByte(CP_ACP) measures it on a Japanese system.
#include <cstddef>
#include <cstdint>

namespace tessary {

// 1 or 2 columns, or 0 when code page 932 cannot encode the character (surrogates included).
int CharWidth(char16_t c);

// Width in columns of a text; a character without width counts 1 (the default character '?'
// that the conversion puts in its place), a surrogate pair counts once.
size_t TextWidth(const char16_t* text, size_t length);

}  // namespace tessary
