// The Windows half of GrowBlock.h: address space reserved with room to grow, pages committed up
// to the capacity. Committed pages read as zero and take memory only when touched.
#ifdef _WIN32

#include "platform/WinApi.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/FaultInjection.h"
#include "platform/GrowBlock.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

uint64_t PageSize() {
    static const uint64_t page = [] {
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        return info.dwPageSize != 0 ? uint64_t{info.dwPageSize} : uint64_t{4096};
    }();
    return page;
}

// Committed length for `bytes` (at least one page); 0 when it does not fit the address space.
uint64_t CommitLength(uint64_t bytes) {
    const uint64_t page = PageSize();
    if (bytes == 0) {
        return page;
    }
    if (bytes > std::numeric_limits<size_t>::max() / 2 - page) {
        return 0;
    }
    return (bytes + page - 1) / page * page;
}

// Address space kept for growth: twice the committed length, so that the usual growth steps
// stay in place; the reservation itself costs no memory.
uint64_t ReserveLength(uint64_t commit) {
    return commit * 2;
}

bool OutOfMemory() {
    SetLastError(kErrorNotEnoughMemory);
    return false;
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
    const uint64_t commit = CommitLength(bytes);
    if (commit == 0) {
        return OutOfMemory();
    }
    uint64_t reserved = ReserveLength(commit);
    uint8_t* data = ReserveAndCommit(reserved, commit);
    if (data == nullptr) {
        // Without room to spare, at least the committed part alone.
        data = ReserveAndCommit(commit, commit);
        reserved = commit;
    }
    if (data != nullptr) {
        m_data = data;
        m_capacity = bytes;
        m_reserved = reserved;
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
        const uint64_t commit = CommitLength(bytes);
        if (commit == 0) {
            return OutOfMemory();
        }
        if (commit <= m_reserved) {
            // Committing pages that already are keeps their contents; the new ones are zero.
            if (::VirtualAlloc(m_data, static_cast<SIZE_T>(commit), MEM_COMMIT, PAGE_READWRITE) ==
                nullptr) {
                return OutOfMemory();
            }
            m_capacity = bytes;
            return true;
        }
        // Beyond the reservation: a larger one, and the contents copied over once.
        uint64_t reserved = ReserveLength(commit);
        uint8_t* data = ReserveAndCommit(reserved, commit);
        if (data == nullptr) {
            reserved = commit;
            data = ReserveAndCommit(reserved, commit);
        }
        if (data == nullptr) {
            return OutOfMemory();
        }
        std::memcpy(data, m_data, static_cast<size_t>(m_capacity));
        ::VirtualFree(m_data, 0, MEM_RELEASE);
        m_data = data;
        m_capacity = bytes;
        m_reserved = reserved;
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
            ::VirtualFree(m_data, 0, MEM_RELEASE);
        } else {
            std::free(m_data);
        }
    }
    m_data = nullptr;
    m_capacity = 0;
    m_reserved = 0;
}

}  // namespace tessary

#endif  // _WIN32
