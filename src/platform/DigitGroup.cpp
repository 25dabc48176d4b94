#include "platform/DigitGroup.h"

namespace tessary {

std::string GroupedDecimal(uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

std::u16string GroupedDecimal16(uint64_t value) {
    const std::string text = GroupedDecimal(value);
    return std::u16string(text.begin(), text.end());
}

}  // namespace tessary
