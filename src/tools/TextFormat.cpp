#include "tools/TextFormat.h"

#include <cstdarg>
#include <cstdio>

#include "platform/DigitGroup.h"

namespace tessary {

std::string Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return text;
}

std::string Grouped(uint64_t value) {
    return GroupedDecimal(value);
}

std::string Megabytes(uint64_t bytes) {
    constexpr uint64_t kMega = uint64_t{1} << 20;
    const uint64_t tenth = (bytes % kMega) * 10 / kMega;
    return Grouped(bytes / kMega) + '.' + static_cast<char>('0' + tenth);
}

}  // namespace tessary
