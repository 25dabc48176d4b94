#include "calls/CallInfo.h"

#include <string>

namespace tessary::calls {

namespace {

constexpr std::u16string_view kResultTexts[kCallResultCount] = {u"応答", u"拒否", u"発呼側放棄",
                                                                u"網切断", u"継続中"};
constexpr std::string_view kResultKeys[kCallResultCount] = {"answered", "rejected", "abandoned",
                                                            "network", "open"};

}  // namespace

int64_t CallInfo::DurationMs() const {
    if (connectMs == kNoTime) {
        return -1;
    }
    const int64_t end = clearingMs != kNoTime ? clearingMs : lastMs;
    return end > connectMs ? end - connectMs : 0;
}

std::u16string CallRefText(const CallInfo& call) {
    std::u16string text = call.incoming ? u"着" : u"発";
    for (char c : std::to_string(call.callRef)) {
        text += static_cast<char16_t>(c);
    }
    return text;
}

std::u16string_view ResultText(CallResult result) {
    return kResultTexts[static_cast<int>(result)];
}

std::string_view ResultKey(CallResult result) {
    return kResultKeys[static_cast<int>(result)];
}

std::u16string_view SideText(CallSide side) {
    return side == CallSide::kNetwork ? u"網" : u"端末";
}

std::string_view SideKey(CallSide side) {
    return side == CallSide::kNetwork ? "network" : "terminal";
}

}  // namespace tessary::calls
