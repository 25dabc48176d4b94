#include "mainwnd/SearchRule.h"

#include "decode/SearchDefinition.h"
#include "display/DisplaySource.h"

namespace tessary {

int CompileSearchRule(CanPara& para, SearchCondition& condition, std::u16string_view text) {
    char16_t definition[kDefinitionSize] = {};
    int result = -1;
    if (FormatDefinition(definition, kDefinitionSize, u"", text, u"") >= 0) {
        result = condition.Compile(definition, para.SpcCnt);
    }
    if (result != 0) {
        ClearSearchRule(para, condition);
        return result;
    }
    CopyToSlot(para.MarkIfText[kSearchSlot], std::u16string_view(definition));
    return 0;
}

void ClearSearchRule(CanPara& para, SearchCondition& condition) {
    CopyToSlot(para.MarkIfText[kSearchSlot], u";;");
    condition.Clear();
}

std::u16string_view SearchRuleText(const CanPara& para) {
    return ParseDefinition(SlotText(para.MarkIfText[kSearchSlot])).pattern;
}

}  // namespace tessary
