#pragma once
// Word search used by the search conditions and the search-hit marking: half-width letters
// compare case-insensitively, every other character (full-width letters included) exactly.
#include <cstddef>
#include <string_view>

namespace tessary {

inline constexpr size_t kNotFound = static_cast<size_t>(-1);

// Position of the first occurrence of `word` that lies within the first `limit` characters of
// `text` (the whole text when `limit` is 0 or larger than the text); kNotFound when there is
// none or the word is empty.
size_t FindNoCase(std::u16string_view text, size_t limit, std::u16string_view word);

// Same, over the whole text.
inline size_t FindNoCase(std::u16string_view text, std::u16string_view word) {
    return FindNoCase(text, 0, word);
}

}  // namespace tessary
