#pragma once
// Decimal numbers: with a ',' every three digits (traces, line numbers in the status panes), and
// plain digits without printf for the per-record paths.
#include <cstdint>
#include <string>

namespace tessary {

// "%u", or "%0*u" with minDigits: hands each character of `value` to `put`, leading zeros
// first.
template <typename Put>
inline void PutDecimalDigits(uint32_t value, int minDigits, Put put) {
    char16_t digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int pad = count; pad < minDigits; ++pad) {
        put(u'0');
    }
    while (count > 0) {
        put(digits[--count]);
    }
}

std::string GroupedDecimal(uint64_t value);
std::u16string GroupedDecimal16(uint64_t value);

}  // namespace tessary
