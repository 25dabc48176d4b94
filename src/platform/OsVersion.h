#pragma once
// The running system's version numbers (RtlGetVersion; the kernel release on Linux).
#include <cstdint>

namespace tessary {

struct OsVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
};

// False with the failure's number (an NTSTATUS or Windows error on Windows, errno elsewhere)
// when the system does not tell; `version` is then all zero.
bool QueryOsVersion(OsVersion& version, int& error);

}  // namespace tessary
