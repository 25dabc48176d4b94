// The Windows half of GrowBlockPages.h: address space reserved with room to grow, pages committed
// up to the capacity. Committed pages read as zero and take memory only when touched.
#ifdef _WIN32

#include "platform/WinApi.h"

#include <cstring>
#include <limits>

#include "platform/GrowBlockPages.h"

namespace tessary::pages {

namespace {

uint64_t PageSize() {
    static const uint64_t page = [] {
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        return info.dwPageSize != 0 ? uint64_t{info.dwPageSize} : uint64_t{4096};
    }();
    return page;
}

// Reserves `reserve` bytes and commits the first `commit`; nullptr when either fails.
uint8_t* ReserveAndCommit(uint64_t reserve, uint64_t commit) {
    void* base = ::VirtualAlloc(nullptr, static_cast<SIZE_T>(reserve), MEM_RESERVE, PAGE_NOACCESS);
    if (base == nullptr) {
        return nullptr;
    }
    if (::VirtualAlloc(base, static_cast<SIZE_T>(commit), MEM_COMMIT, PAGE_READWRITE) == nullptr) {
        ::VirtualFree(base, 0, MEM_RELEASE);
        return nullptr;
    }
    return static_cast<uint8_t*>(base);
}

}  // namespace

uint64_t Length(uint64_t bytes) {
    const uint64_t page = PageSize();
    if (bytes == 0) {
        return page;
    }
    // Half the address space at most, as twice the length is reserved for growth.
    if (bytes > std::numeric_limits<size_t>::max() / 2 - page) {
        return 0;
    }
    return (bytes + page - 1) / page * page;
}

uint8_t* Map(uint64_t length, uint64_t& reserved) {
    // Twice the committed length, so that the usual growth steps stay in place; the reservation
    // itself costs no memory. Without room to spare, at least the committed part alone.
    uint8_t* data = ReserveAndCommit(length * 2, length);
    if (data != nullptr) {
        reserved = length * 2;
        return data;
    }
    data = ReserveAndCommit(length, length);
    if (data != nullptr) {
        reserved = length;
    }
    return data;
}

Extended Extend(uint8_t*& data, uint64_t& reserved, uint64_t used, uint64_t length) {
    if (length <= reserved) {
        // Committing pages that already are keeps their contents; the new ones are zero.
        if (::VirtualAlloc(data, static_cast<SIZE_T>(length), MEM_COMMIT, PAGE_READWRITE) ==
            nullptr) {
            return Extended::kFailed;
        }
        return Extended::kDone;
    }
    // Beyond the reservation: a larger one, and the contents copied over once.
    uint64_t larger = 0;
    uint8_t* moved = Map(length, larger);
    if (moved == nullptr) {
        return Extended::kFailed;
    }
    std::memcpy(moved, data, static_cast<size_t>(used));
    Unmap(data, reserved);
    data = moved;
    reserved = larger;
    return Extended::kDone;
}

void Unmap(uint8_t* data, uint64_t /*reserved*/) {
    ::VirtualFree(data, 0, MEM_RELEASE);
}

}  // namespace tessary::pages

#endif  // _WIN32
