#include "platform/Granule.h"

#ifdef _WIN32
#include "platform/WinApi.h"
#else
#include <unistd.h>
#endif

#include <limits>

namespace tessary {

namespace {

constexpr uint32_t kMinGranule = 4096;
constexpr uint32_t kMaxGranule = 65536;

#ifdef _WIN32
long PageSize() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return static_cast<long>(info.dwPageSize);
}
#else
long PageSize() {
    return ::sysconf(_SC_PAGESIZE);
}
#endif

uint32_t ComputeGranule() {
    long page = PageSize();
    uint32_t granule = kMinGranule;
    if (page > static_cast<long>(granule)) {
        granule = page > static_cast<long>(kMaxGranule) ? kMaxGranule : static_cast<uint32_t>(page);
    }
    return granule;
}

}  // namespace

uint32_t AllocationGranule() {
    static const uint32_t granule = ComputeGranule();
    return granule;
}

uint64_t RoundUpToGranule(uint64_t bytes) {
    const uint64_t granule = AllocationGranule();
    const uint64_t largest = std::numeric_limits<uint64_t>::max() / granule * granule;
    // Beyond the largest multiple no size can be allocated anyway; saturate rather than wrap to 0.
    if (bytes > largest) {
        return largest;
    }
    return (bytes + granule - 1) / granule * granule;
}

}  // namespace tessary
