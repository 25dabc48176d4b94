#pragma once
// The call list of a loaded log: the tracker run over the converter's message records, and the
// summary line of the list window.
#include <cstdint>
#include <string>
#include <vector>

#include "calls/CallInfo.h"

namespace tessary {
class CTessaryCan;
}

namespace tessary::calls {

// 1 or 2 when the converter holds one line of a bulk file, else 0.
uint8_t ConvertedLine(const CTessaryCan& converter);

// Every call of the converter's records, in the order of their SETUPs.
std::vector<CallInfo> BuildCallList(const CTessaryCan& converter);

// "呼数=%u  応答=%u  ..." : the count of calls, of each result, and of the failed ones (rejected,
// abandoned, cleared by the network) by cause, most frequent first.
std::u16string SummaryText(const std::vector<CallInfo>& calls);

}  // namespace tessary::calls
