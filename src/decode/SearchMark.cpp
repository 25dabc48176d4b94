#include "decode/SearchMark.h"

#include "decode/SearchCondition.h"
#include "platform/Width.h"

namespace tessary {
namespace {

inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

size_t MarkCutLength(std::u16string_view mark, int width) {
    if (width <= 0) {
        return 0;
    }
    const auto limit = static_cast<size_t>(width);
    size_t used = 0;
    size_t pos = 0;
    while (pos < mark.size()) {
        size_t units = 1;
        if (IsHighSurrogate(mark[pos]) && pos + 1 < mark.size() && IsLowSurrogate(mark[pos + 1])) {
            units = 2;
        }
        const size_t columns = TextWidth(mark.data() + pos, units);
        if (used + columns > limit) {
            break;
        }
        used += columns;
        pos += units;
    }
    return pos;
}

int ChooseMark(SearchCondition* marks, size_t count, int block, std::u16string_view text) {
    if (marks == nullptr) {
        return -1;
    }
    if (count > kMarkCount) {
        count = kMarkCount;
    }
    // The highest-numbered rule wins, so the first hit from the top decides.
    for (size_t i = count; i-- > 0;) {
        if (marks[i].AppliesToBlock(block) && marks[i].Match(text) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace tessary
