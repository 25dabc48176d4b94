// The POSIX half of GrowBlockPages.h: anonymous mappings, grown with mremap.
#ifndef _WIN32

#include <sys/mman.h>
#include <unistd.h>

#include <limits>

#include "platform/GrowBlockPages.h"

namespace tessary::pages {

namespace {

uint64_t PageSize() {
    static const uint64_t page = [] {
        long size = ::sysconf(_SC_PAGESIZE);
        return size > 0 ? static_cast<uint64_t>(size) : uint64_t{4096};
    }();
    return page;
}

}  // namespace

uint64_t Length(uint64_t bytes) {
    const uint64_t page = PageSize();
    if (bytes == 0) {
        return page;
    }
    if (bytes > std::numeric_limits<size_t>::max() - page) {
        return 0;
    }
    return (bytes + page - 1) / page * page;
}

uint8_t* Map(uint64_t length, uint64_t& reserved) {
    // Anonymous pages read as zero and cost nothing until written.
    void* mapped = ::mmap(nullptr, static_cast<size_t>(length), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED) {
        return nullptr;
    }
    reserved = length;
    return static_cast<uint8_t*>(mapped);
}

Extended Extend(uint8_t*& data, uint64_t& reserved, uint64_t /*used*/, uint64_t length) {
    if (length <= reserved) {
        // Still inside the mapping; the pages past the old capacity were never handed out.
        return Extended::kDone;
    }
    // The kernel moves the page tables, not the data; the added pages are zero.
    void* moved =
        ::mremap(data, static_cast<size_t>(reserved), static_cast<size_t>(length), MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) {
        return Extended::kNoRoom;
    }
    data = static_cast<uint8_t*>(moved);
    reserved = length;
    return Extended::kDone;
}

void Unmap(uint8_t* data, uint64_t reserved) {
    ::munmap(data, static_cast<size_t>(reserved));
}

}  // namespace tessary::pages

#endif  // !_WIN32
