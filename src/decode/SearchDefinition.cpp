#include "decode/SearchDefinition.h"

namespace tessary {
namespace {

inline bool IsCountedDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'D') || (c >= u'a' && c <= u'd');
}

inline int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    return -1;
}

// 15 and 0 both mean every block; keeping one form lets records without a block be tested by
// both alike.
inline int NormalMask(int mask) {
    mask &= kAllBlocksMask;
    return mask == kAllBlocksMask ? 0 : mask;
}

}  // namespace

int ReadMaskField(std::u16string_view field) {
    size_t pos = 0;
    while (pos < field.size() && field[pos] == u' ') {
        ++pos;
    }
    size_t digits = 0;
    while (pos + digits < field.size() && IsCountedDigit(field[pos + digits])) {
        if (++digits > 8) {
            return 0;
        }
    }
    unsigned value = 0;
    for (size_t k = 0; k < 8 && pos + k < field.size(); ++k) {
        const int digit = HexValue(field[pos + k]);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return NormalMask(static_cast<int>(value & 0xF));
}

DefinitionFields ParseDefinition(std::u16string_view definition) {
    DefinitionFields fields;
    if (definition.empty()) {
        return fields;
    }
    const size_t first = definition.find(u';');
    if (first == std::u16string_view::npos) {
        fields.pattern = definition;
        fields.mask = 0;
        return fields;
    }
    fields.mark = definition.substr(0, first);
    const size_t last = definition.rfind(u';');
    if (last == first) {
        fields.pattern = definition.substr(first + 1);
        fields.mask = 0;
    } else {
        fields.pattern = definition.substr(first + 1, last - first - 1);
        fields.mask = ReadMaskField(definition.substr(last + 1));
    }
    fields.blockLetters = LettersFromMask(fields.mask);
    return fields;
}

int MaskFromLetters(std::u16string_view letters) {
    int mask = 0;
    for (const char16_t c : letters) {
        if (c >= u'A' && c <= u'D') {
            mask |= 1 << (c - u'A');
        } else if (c >= u'a' && c <= u'd') {
            mask |= 1 << (c - u'a');
        }
    }
    return NormalMask(mask);
}

std::array<char16_t, 5> LettersFromMask(int mask) {
    std::array<char16_t, 5> letters{};
    size_t count = 0;
    for (int block = 0; block < 4; ++block) {
        if ((mask & (1 << block)) != 0) {
            letters[count++] = static_cast<char16_t>(u'A' + block);
        }
    }
    return letters;
}

int FormatDefinition(char16_t* buffer, size_t bufferSize, std::u16string_view mark,
                     std::u16string_view pattern, std::u16string_view blockLetters) {
    const int mask = MaskFromLetters(blockLetters);
    const size_t length = mark.size() + 1 + pattern.size() + 1 + 8;
    if (buffer == nullptr || length >= bufferSize) {
        return -1;
    }
    char16_t* out = buffer;
    out += mark.copy(out, mark.size());
    *out++ = u';';
    out += pattern.copy(out, pattern.size());
    *out++ = u';';
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4) {
        *out++ = kHex[(static_cast<unsigned>(mask) >> shift) & 0xF];
    }
    *out = u'\0';
    return mask;
}

}  // namespace tessary
