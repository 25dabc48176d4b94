#pragma once
// Decimal numbers with a ',' every three digits (traces, line numbers in the status panes).
#include <cstdint>
#include <string>

namespace tessary {

std::string GroupedDecimal(uint64_t value);
std::u16string GroupedDecimal16(uint64_t value);

}  // namespace tessary
