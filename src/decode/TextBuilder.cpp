#include "decode/TextBuilder.h"

#include <cstdarg>
#include <cstdio>

#include "platform/Width.h"

namespace tessary {

void TextBuilder::AppendAscii(std::string_view ascii) {
    for (char c : ascii) {
        m_text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
}

void TextBuilder::AppendFormat(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) {
        return;
    }
    AppendAscii(std::string_view(buffer, static_cast<size_t>(n) < sizeof buffer
                                             ? static_cast<size_t>(n)
                                             : sizeof buffer - 1));
}

void TextBuilder::AppendHex2(uint8_t value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    m_text.push_back(kDigits[value >> 4]);
    m_text.push_back(kDigits[value & 15]);
}

size_t TextBuilder::WidthFrom(size_t from) const {
    if (from >= m_text.size()) {
        return 0;
    }
    return TextWidth(m_text.data() + from, m_text.size() - from);
}

size_t TextBuilder::CurrentRowWidth() const {
    size_t lf = m_text.rfind(u'\n');
    return WidthFrom(lf == std::u16string::npos ? 0 : lf + 1);
}

}  // namespace tessary
