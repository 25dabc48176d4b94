#pragma once
// The system's half of GrowBlock: whole pages of address space, zero-filled, defined once for
// POSIX (GrowBlockPosix.cpp) and once for Windows (GrowBlockWin.cpp). GrowBlock.cpp keeps the
// rest: the heap fallback, the error numbers and the fault injection.
#include <cstdint>

namespace tessary::pages {

// Page length holding `bytes` (at least one page); 0 when it does not fit the address space.
uint64_t Length(uint64_t bytes);

// Maps `length` bytes of zero pages (from Length); nullptr when the system refuses. `reserved`
// receives the address space taken, which may be more than `length`.
uint8_t* Map(uint64_t length, uint64_t& reserved);

enum class Extended {
    kDone,    // `data` and `reserved` describe the larger mapping
    kFailed,  // out of memory, the mapping unchanged
    kNoRoom,  // the mapping cannot grow; the caller may move the contents to the heap
};

// Enlarges the mapping at `data` (`reserved` bytes, the first `used` in use) to `length` bytes,
// keeping the contents; the added part is zero.
Extended Extend(uint8_t*& data, uint64_t& reserved, uint64_t used, uint64_t length);

// Returns the whole mapping to the system.
void Unmap(uint8_t* data, uint64_t reserved);

}  // namespace tessary::pages
