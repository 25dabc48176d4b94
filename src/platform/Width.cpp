#include "platform/Width.h"

namespace tessary {

namespace {
#include "platform/WidthTable.inc"
}  // namespace

int CharWidth(char16_t c) {
    const uint8_t packed = kWidthPages[kWidthPage[c >> 8]][(c & 0xFF) >> 2];
    return (packed >> (2 * (c & 3))) & 3;
}

size_t TextWidth(const char16_t* text, size_t length) {
    if (text == nullptr) {
        return 0;
    }
    size_t width = 0;
    for (size_t i = 0; i < length; ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            // Code page 932 has nothing outside the BMP: one default character for the pair.
            ++width;
            ++i;
            continue;
        }
        const int w = CharWidth(c);
        width += w == 0 ? 1 : static_cast<size_t>(w);
    }
    return width;
}

}  // namespace tessary
