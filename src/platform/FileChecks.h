#pragma once
// What File's reads and writes check before they reach the system, the same in the POSIX half
// (File.cpp) and the Windows half (FileWin.cpp). `maxOffset` is the largest offset the system
// takes. Each sets the error and returns false when the call cannot go ahead.
#include <cstdint>

#include "platform/FaultInjection.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary::file_checks {

inline bool Refuse(uint32_t error) {
    SetLastError(error);
    return false;
}

// Cuts `count` to what may be read at `offset` (0 past the largest offset, where reading meets
// the end of the file); an injected short read halves it.
inline bool BeforeRead(bool open, const void* buffer, uint64_t offset, uint32_t& count,
                       uint64_t maxOffset) {
    if (!open) {
        return Refuse(kErrorInvalidHandle);
    }
    if (count > 0 && buffer == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    switch (fault::ReadFault()) {
        case 1:
            return Refuse(kErrorReadFault);
        case 2:
            count /= 2;
            break;
        default:
            break;
    }
    if (offset >= maxOffset) {
        count = 0;
    } else if (count > maxOffset - offset) {
        count = static_cast<uint32_t>(maxOffset - offset);
    }
    return true;
}

// A write must end within the largest offset, else the disk counts as full.
inline bool BeforeWrite(bool open, const void* buffer, uint64_t offset, uint32_t count,
                        uint64_t maxOffset) {
    if (!open) {
        return Refuse(kErrorInvalidHandle);
    }
    if (count > 0 && buffer == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    if (fault::ShouldFailWrite()) {
        return Refuse(kErrorWriteFault);
    }
    if (offset > maxOffset || count > maxOffset - offset) {
        return Refuse(kErrorDiskFull);
    }
    return true;
}

}  // namespace tessary::file_checks
