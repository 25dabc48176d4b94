#include "platform/Utf.h"

#include <cstdint>
#include <cstring>

namespace tessary {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

}  // namespace

char* EncodeUtf8(std::u16string_view text, char* out) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    while (p < end) {
        // Decoded text is mostly ASCII: copy runs of it four units at a time.
        while (end - p >= 4) {
            uint64_t four;
            std::memcpy(&four, p, sizeof four);
            if ((four & 0xFF80FF80FF80FF80u) != 0) {
                break;
            }
            out[0] = static_cast<char>(p[0]);
            out[1] = static_cast<char>(p[1]);
            out[2] = static_cast<char>(p[2]);
            out[3] = static_cast<char>(p[3]);
            out += 4;
            p += 4;
        }
        if (p == end) {
            break;
        }
        uint32_t c = *p++;
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0xD800 || c >= 0xE000) {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000) {
            // A pair: four bytes for two units, within the room of six.
            c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xEF);  // U+FFFD
            *out++ = static_cast<char>(0xBF);
            *out++ = static_cast<char>(0xBD);
        }
    }
    return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
    const size_t at = out.size();
    out.resize(at + 3 * text.size());
    char* end = EncodeUtf8(text, out.data() + at);
    out.resize(static_cast<size_t>(end - out.data()));
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    AppendUtf8(out, text);
    return out;
}

std::u16string Utf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        // Lead byte: the number of continuation bytes and the range the first of them must
        // lie in, which rules out overlong forms, surrogates and values past U+10FFFF.
        int extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        uint32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0F;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        ++i;
        bool valid = true;
        for (int k = 0; k < extra; ++k) {
            if (i >= s.size()) {
                valid = false;
                break;
            }
            const unsigned char next = static_cast<unsigned char>(s[i]);
            if (next < low || next > high) {
                valid = false;
                break;
            }
            c = (c << 6) | (next & 0x3F);
            ++i;
            low = 0x80;
            high = 0xBF;
        }
        // A broken sequence becomes one replacement; the offending byte starts afresh.
        if (!valid) {
            out += kReplacement;
        } else if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

}  // namespace tessary
