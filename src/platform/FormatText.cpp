#include "platform/FormatText.h"

#include <algorithm>

namespace tessary {

int64_t FormatArg::Signed() const {
    return m_kind == Kind::kSigned ? m_signed : static_cast<int64_t>(m_unsigned);
}

uint64_t FormatArg::Unsigned() const {
    return m_kind == Kind::kSigned ? static_cast<uint64_t>(m_signed) : m_unsigned;
}

namespace {

struct Field {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
};

void Pad(std::u16string& out, size_t count, char16_t fill) {
    out.append(count, fill);
}

// Sign or prefix, zeros, digits, padded to the width as printf does.
void PutNumber(std::u16string& out, const Field& field, std::u16string_view prefix,
               std::u16string_view digits) {
    size_t zeros = 0;
    if (field.precision >= 0 && digits.size() < static_cast<size_t>(field.precision)) {
        zeros = static_cast<size_t>(field.precision) - digits.size();
    }
    const size_t length = prefix.size() + zeros + digits.size();
    const size_t width = static_cast<size_t>(std::max(field.width, 0));
    const size_t fill = width > length ? width - length : 0;
    if (field.left) {
        out += prefix;
        Pad(out, zeros, u'0');
        out += digits;
        Pad(out, fill, u' ');
    } else if (field.zero && field.precision < 0) {
        out += prefix;
        Pad(out, zeros + fill, u'0');
        out += digits;
    } else {
        Pad(out, fill, u' ');
        out += prefix;
        Pad(out, zeros, u'0');
        out += digits;
    }
}

std::u16string Digits(uint64_t value, unsigned base, bool upper, int precision) {
    if (value == 0 && precision == 0) {
        return {};
    }
    const char16_t* symbols = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    char16_t buffer[24];
    size_t at = sizeof buffer / sizeof buffer[0];
    do {
        buffer[--at] = symbols[value % base];
        value /= base;
    } while (value != 0);
    return std::u16string(buffer + at, sizeof buffer / sizeof buffer[0] - at);
}

void PutPadded(std::u16string& out, const Field& field, std::u16string_view text) {
    const size_t width = static_cast<size_t>(std::max(field.width, 0));
    const size_t fill = width > text.size() ? width - text.size() : 0;
    if (!field.left) {
        Pad(out, fill, u' ');
    }
    out += text;
    if (field.left) {
        Pad(out, fill, u' ');
    }
}

}  // namespace

std::u16string FormatTextOf(std::u16string_view format, std::initializer_list<FormatArg> args) {
    std::u16string out;
    out.reserve(format.size() + 16);
    const FormatArg* next = args.begin();
    const auto take = [&]() -> const FormatArg* { return next != args.end() ? next++ : nullptr; };
    const auto takeInt = [&](int& value) {
        const FormatArg* arg = take();
        value = arg != nullptr && arg->TypeOf() != FormatArg::Kind::kText
                    ? static_cast<int>(arg->Signed())
                    : 0;
    };
    size_t i = 0;
    while (i < format.size()) {
        const char16_t c = format[i];
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        const size_t start = i++;
        Field field;
        for (; i < format.size(); ++i) {
            const char16_t flag = format[i];
            if (flag == u'-') {
                field.left = true;
            } else if (flag == u'0') {
                field.zero = true;
            } else if (flag == u'+') {
                field.plus = true;
            } else if (flag == u' ') {
                field.space = true;
            } else if (flag == u'#') {
                field.alternate = true;
            } else {
                break;
            }
        }
        if (i < format.size() && format[i] == u'*') {
            takeInt(field.width);
            if (field.width < 0) {
                field.left = true;
                field.width = -field.width;
            }
            ++i;
        } else {
            while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
                field.width = std::min(field.width * 10 + (format[i] - u'0'), 100000);
                ++i;
            }
        }
        if (i < format.size() && format[i] == u'.') {
            ++i;
            field.precision = 0;
            if (i < format.size() && format[i] == u'*') {
                takeInt(field.precision);
                ++i;
            } else {
                while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
                    field.precision = std::min(field.precision * 10 + (format[i] - u'0'), 100000);
                    ++i;
                }
            }
        }
        while (i < format.size() &&
               std::u16string_view(u"hlLqjzt").find(format[i]) != std::u16string_view::npos) {
            ++i;
        }
        if (i >= format.size()) {
            out += format.substr(start);
            break;
        }
        const char16_t conversion = format[i++];
        if (conversion == u'%') {
            out += u'%';
            continue;
        }
        if (std::u16string_view(u"diuxXocs").find(conversion) == std::u16string_view::npos) {
            out += format.substr(start, i - start);
            continue;
        }
        const FormatArg* arg = take();
        if (arg == nullptr) {
            continue;
        }
        const bool isText = arg->TypeOf() == FormatArg::Kind::kText;
        switch (conversion) {
            case u's':
                if (isText) {
                    std::u16string_view text = arg->Text();
                    if (field.precision >= 0) {
                        text = text.substr(0, static_cast<size_t>(field.precision));
                    }
                    PutPadded(out, field, text);
                }
                break;
            case u'c':
                if (!isText) {
                    const char16_t one = static_cast<char16_t>(arg->Unsigned());
                    PutPadded(out, field, std::u16string_view(&one, 1));
                }
                break;
            case u'd':
            case u'i':
                if (!isText) {
                    const int64_t value = arg->Signed();
                    const uint64_t magnitude = value < 0
                                                   ? uint64_t{0} - static_cast<uint64_t>(value)
                                                   : static_cast<uint64_t>(value);
                    const std::u16string_view sign = value < 0     ? u"-"
                                                     : field.plus  ? u"+"
                                                     : field.space ? u" "
                                                                   : u"";
                    PutNumber(out, field, sign, Digits(magnitude, 10, false, field.precision));
                }
                break;
            default: {  // u x X o
                if (isText) {
                    break;
                }
                // A narrower argument is taken as unsigned in its own width, as printf does with
                // a negative int for %u.
                uint64_t value = arg->Unsigned();
                if (arg->TypeOf() == FormatArg::Kind::kSigned && arg->Signed() < 0 &&
                    arg->Signed() >= INT32_MIN) {
                    value = static_cast<uint32_t>(arg->Signed());
                }
                const unsigned base = conversion == u'u' ? 10 : conversion == u'o' ? 8 : 16;
                const bool upper = conversion == u'X';
                std::u16string_view prefix;
                if (field.alternate && value != 0 && base == 16) {
                    prefix = upper ? u"0X" : u"0x";
                }
                std::u16string digits = Digits(value, base, upper, field.precision);
                if (field.alternate && base == 8 && (digits.empty() || digits[0] != u'0')) {
                    digits.insert(digits.begin(), u'0');
                }
                PutNumber(out, field, prefix, digits);
                break;
            }
        }
    }
    return out;
}

}  // namespace tessary
