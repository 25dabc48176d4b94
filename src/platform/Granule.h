#pragma once
// The allocation granule of the large tables: 4096, raised to the page size when that is
// larger, at most 65536.
#include <cstdint>

namespace tessary {

uint32_t AllocationGranule();
// Rounds up to a multiple of the granule (0 stays 0).
uint64_t RoundUpToGranule(uint64_t bytes);

}  // namespace tessary
