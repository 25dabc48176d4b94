#pragma once
// The one way message texts are filled in: UTF-16 templates with printf-style conversions and
// typed arguments, so that texts and the names and numbers they carry stay UTF-16 throughout.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tessary {

// One value for a template: a number, a character or a text. Texts are viewed, not copied:
// an argument lives as long as the call it is passed to.
class FormatArg {
public:
    FormatArg(int value) : m_kind(Kind::kSigned), m_signed(value) {}
    FormatArg(long value) : m_kind(Kind::kSigned), m_signed(value) {}
    FormatArg(long long value) : m_kind(Kind::kSigned), m_signed(value) {}
    FormatArg(unsigned value) : m_kind(Kind::kUnsigned), m_unsigned(value) {}
    FormatArg(unsigned long value) : m_kind(Kind::kUnsigned), m_unsigned(value) {}
    FormatArg(unsigned long long value) : m_kind(Kind::kUnsigned), m_unsigned(value) {}
    FormatArg(char value) : m_kind(Kind::kChar), m_unsigned(static_cast<unsigned char>(value)) {}
    FormatArg(char16_t value) : m_kind(Kind::kChar), m_unsigned(value) {}
    FormatArg(std::u16string_view value) : m_kind(Kind::kText), m_text(value) {}
    FormatArg(const std::u16string& value) : m_kind(Kind::kText), m_text(value) {}
    FormatArg(const char16_t* value) : m_kind(Kind::kText), m_text(value) {}

    enum class Kind : uint8_t { kSigned, kUnsigned, kChar, kText };
    Kind TypeOf() const { return m_kind; }
    int64_t Signed() const;
    uint64_t Unsigned() const;
    std::u16string_view Text() const { return m_text; }

private:
    Kind m_kind;
    int64_t m_signed = 0;
    uint64_t m_unsigned = 0;
    std::u16string_view m_text;
};

// `format` with its conversions filled from `args` in order: %d %i %u %x %X %o %c %s and %%,
// with the flags - 0 + space #, a width and a precision (digits or *), length modifiers
// (h, l, ll, z, j, t) accepted and not needed. A conversion without its argument, or of the
// wrong kind (a text for %u, a number for %s), writes nothing; an unknown one is copied.
std::u16string FormatTextOf(std::u16string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
std::u16string FormatText(std::u16string_view format, const Args&... args) {
    return FormatTextOf(format, {FormatArg(args)...});
}

}  // namespace tessary
