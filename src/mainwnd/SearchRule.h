#pragma once
// The search rule of a window: the search text as the fifth definition string (empty mark, no
// blocks) and its compiled condition.
#include <string_view>

#include "decode/CanPara.h"
#include "decode/SearchCondition.h"

namespace tessary {

// Compiles `text` into `condition` with the mark width SpcCnt and stores its definition string.
// 0 on success; on failure the definition's fields are emptied, the condition cleared and the
// answer is -1 (the definition does not fit, or no memory) or the column of the syntax error.
int CompileSearchRule(CanPara& para, SearchCondition& condition, std::u16string_view text);
// Empties the definition's fields and clears the condition.
void ClearSearchRule(CanPara& para, SearchCondition& condition);
// The search text of the stored definition string.
std::u16string_view SearchRuleText(const CanPara& para);

}  // namespace tessary
