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

// A file is open, and there is a buffer wherever there are bytes to move.
inline bool CheckCall(bool open, const void* buffer, uint32_t count) {
    if (!open) {
        return Refuse(kErrorInvalidHandle);
    }
    if (count > 0 && buffer == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return true;
}

// Cuts `count` to what may be read at `offset` (0 past the largest offset, where reading meets
// the end of the file); an injected short read halves it.
inline bool BeforeRead(bool open, const void* buffer, uint64_t offset, uint32_t& count,
                       uint64_t maxOffset) {
    if (!CheckCall(open, buffer, count)) {
        return false;
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
    if (!CheckCall(open, buffer, count)) {
        return false;
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
