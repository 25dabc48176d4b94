#pragma once
// Highlight marks: the mark text cut to the line-head margin, and the choice of the rule that
// marks a record.
#include <cstddef>
#include <string_view>

namespace tessary {

class SearchCondition;

inline constexpr size_t kMarkCount = 4;

// UTF-16 units of `mark` that fit `width` display columns: whole characters from the start of
// the mark field only; a double-width character that would pass the width ends the cut, and a
// surrogate pair is never split.
size_t MarkCutLength(std::u16string_view mark, int width);

// The highest-numbered of `count` (at most kMarkCount) highlight rules whose block mask admits
// the record's block (`Block`; 0x80 and above: none, then only rules with mask 0) and whose
// condition matches the record's text; -1 when none does or `marks` is absent.
int ChooseMark(SearchCondition* marks, size_t count, int block, std::u16string_view text);

}  // namespace tessary
