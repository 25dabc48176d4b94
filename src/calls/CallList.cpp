#include "calls/CallList.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "calls/CallTracker.h"
#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "logfile/InsLogFormat.h"

namespace tessary::calls {

namespace {

void AppendNumber(std::u16string& text, uint64_t value) {
    for (char c : std::to_string(value)) {
        text += static_cast<char16_t>(c);
    }
}

}  // namespace

uint8_t ConvertedLine(const CTessaryCan& converter) {
    if (converter.Header().dataKind != kDataKindIns64Bulk || converter.IsIns1500() ||
        converter.Para() == nullptr) {
        return 0;
    }
    const unsigned selection = LineSelectionOf(*converter.Para());
    return selection < 2 ? static_cast<uint8_t>(selection + 1) : 0;
}

std::vector<CallInfo> BuildCallList(const CTessaryCan& converter) {
    CallTracker tracker(ConvertedLine(converter));
    const uint32_t count = converter.LineCount();
    for (uint32_t i = 0; i < count; ++i) {
        tracker.Add(*converter.Record(i));
    }
    tracker.Finish();
    return tracker.Take();
}

std::u16string SummaryText(const std::vector<CallInfo>& calls) {
    size_t byResult[kCallResultCount] = {};
    std::map<int, size_t> failedByCause;  // -1: no cause
    for (const CallInfo& call : calls) {
        ++byResult[static_cast<int>(call.result)];
        if (call.result == CallResult::kRejected || call.result == CallResult::kAbandoned ||
            call.result == CallResult::kNetworkCleared) {
            ++failedByCause[call.cause];
        }
    }
    std::u16string text = u"呼数=";
    AppendNumber(text, calls.size());
    for (int r = 0; r < kCallResultCount; ++r) {
        text += u"  ";
        text += ResultText(static_cast<CallResult>(r));
        text += u'=';
        AppendNumber(text, byResult[r]);
    }
    if (!failedByCause.empty()) {
        std::vector<std::pair<int, size_t>> causes(failedByCause.begin(), failedByCause.end());
        std::stable_sort(causes.begin(), causes.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        text += u"  不成立の理由:";
        for (const auto& [cause, count] : causes) {
            text += u' ';
            if (cause < 0) {
                text += u"なし";
            } else {
                AppendNumber(text, static_cast<uint64_t>(cause));
            }
            text += u'×';
            AppendNumber(text, count);
        }
    }
    return text;
}

}  // namespace tessary::calls
