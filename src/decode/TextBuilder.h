#pragma once
// The converter's reusable UTF-16 text buffer: cleared per record, its storage kept, so that
// building a record's text allocates nothing once the buffer has reached its working size.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/PrintfFormat.h"

namespace tessary {

class TextBuilder {
public:
    TextBuilder() { m_text.reserve(4096); }

    void Clear() { m_text.clear(); }
    size_t Length() const { return m_text.size(); }
    const char16_t* Data() const { return m_text.data(); }
    std::u16string_view View() const { return m_text; }
    char16_t* MutableData() { return m_text.data(); }

    void Append(std::u16string_view text) { m_text.append(text); }
    void Append(char16_t c) { m_text.push_back(c); }
    void AppendRepeat(char16_t c, size_t count) { m_text.append(count, c); }
    // ASCII only (format results, hex digits).
    void AppendAscii(std::string_view ascii);
    // printf-style, ASCII results only (numbers and ASCII literals).
    void AppendFormat(const char* format, ...) TESSARY_PRINTF_FORMAT(2, 3);
    void AppendHex2(uint8_t value);
    void Truncate(size_t length) { m_text.resize(length); }
    // Makes `count` more units and returns where they start, for the caller to fill.
    char16_t* Extend(size_t count) {
        const size_t at = m_text.size();
        m_text.resize(at + count);
        return m_text.data() + at;
    }

    // Display width (code page 932 columns) of the text from `from` to the end.
    size_t WidthFrom(size_t from) const;
    // Width of the current row: from the last LF (or the start) to the end.
    size_t CurrentRowWidth() const;

private:
    std::u16string m_text;
};

}  // namespace tessary
