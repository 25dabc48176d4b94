#include "platform/GrowBlock.h"

// The Windows half is GrowBlockWin.cpp.
#ifndef _WIN32

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/FaultInjection.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

uint64_t PageSize() {
    static const uint64_t page = [] {
        long size = ::sysconf(_SC_PAGESIZE);
        return size > 0 ? static_cast<uint64_t>(size) : uint64_t{4096};
    }();
    return page;
}

// Mapping length for `bytes` (at least one page); 0 when it does not fit the address space.
uint64_t MappingLength(uint64_t bytes) {
    const uint64_t page = PageSize();
    if (bytes == 0) {
        return page;
    }
    if (bytes > std::numeric_limits<size_t>::max() - page) {
        return 0;
    }
    return (bytes + page - 1) / page * page;
}

bool OutOfMemory() {
    SetLastError(kErrorNotEnoughMemory);
    return false;
}

}  // namespace

GrowBlock::~GrowBlock() {
    Destroy();
}

GrowBlock::GrowBlock(GrowBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_reserved(std::exchange(other.m_reserved, 0)) {}

GrowBlock& GrowBlock::operator=(GrowBlock&& other) noexcept {
    if (this != &other) {
        Destroy();
        m_data = std::exchange(other.m_data, nullptr);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_reserved = std::exchange(other.m_reserved, 0);
    }
    return *this;
}

bool GrowBlock::Create(uint64_t bytes) {
    Destroy();
    if (fault::ShouldFailAllocation()) {
        return OutOfMemory();
    }
    const uint64_t length = MappingLength(bytes);
    if (length == 0) {
        return OutOfMemory();
    }
    // Anonymous pages read as zero and cost nothing until written.
    void* mapped = ::mmap(nullptr, static_cast<size_t>(length), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped != MAP_FAILED) {
        m_data = static_cast<uint8_t*>(mapped);
        m_capacity = bytes;
        m_reserved = length;
        return true;
    }
    void* heap = std::calloc(static_cast<size_t>(bytes == 0 ? 1 : bytes), 1);
    if (heap == nullptr) {
        return OutOfMemory();
    }
    m_data = static_cast<uint8_t*>(heap);
    m_capacity = bytes;
    m_reserved = 0;
    return true;
}

bool GrowBlock::Grow(uint64_t bytes) {
    if (m_data == nullptr) {
        return Create(bytes);
    }
    if (fault::ShouldFailAllocation()) {
        return OutOfMemory();
    }
    if (bytes <= m_capacity) {
        return true;
    }
    if (m_reserved != 0) {
        const uint64_t length = MappingLength(bytes);
        if (length == 0) {
            return OutOfMemory();
        }
        if (length <= m_reserved) {
            // Still inside the mapping; the pages past the old capacity were never handed out.
            m_capacity = bytes;
            return true;
        }
        // The kernel moves the page tables, not the data; the added pages are zero.
        void* moved = ::mremap(m_data, static_cast<size_t>(m_reserved), static_cast<size_t>(length),
                               MREMAP_MAYMOVE);
        if (moved != MAP_FAILED) {
            m_data = static_cast<uint8_t*>(moved);
            m_capacity = bytes;
            m_reserved = length;
            return true;
        }
        // No room for a larger mapping: copy to the heap once and continue there.
        void* heap = std::malloc(static_cast<size_t>(bytes));
        if (heap == nullptr) {
            return OutOfMemory();
        }
        std::memcpy(heap, m_data, static_cast<size_t>(m_capacity));
        std::memset(static_cast<uint8_t*>(heap) + m_capacity, 0,
                    static_cast<size_t>(bytes - m_capacity));
        ::munmap(m_data, static_cast<size_t>(m_reserved));
        m_data = static_cast<uint8_t*>(heap);
        m_capacity = bytes;
        m_reserved = 0;
        return true;
    }
    if (bytes > std::numeric_limits<size_t>::max()) {
        return OutOfMemory();
    }
    void* heap = std::realloc(m_data, static_cast<size_t>(bytes));
    if (heap == nullptr) {
        return OutOfMemory();
    }
    m_data = static_cast<uint8_t*>(heap);
    std::memset(m_data + m_capacity, 0, static_cast<size_t>(bytes - m_capacity));
    m_capacity = bytes;
    return true;
}

void GrowBlock::Destroy() {
    if (m_data != nullptr) {
        if (m_reserved != 0) {
            ::munmap(m_data, static_cast<size_t>(m_reserved));
        } else {
            std::free(m_data);
        }
    }
    m_data = nullptr;
    m_capacity = 0;
    m_reserved = 0;
}

}  // namespace tessary

#endif  // !_WIN32
