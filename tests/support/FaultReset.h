#pragma once
// Disarms every fault switch when a test starts and when it ends, whatever happened.
#include "platform/FaultInjection.h"

namespace tessary::test {

struct FaultReset {
    FaultReset() { fault::Reset(); }
    ~FaultReset() { fault::Reset(); }
    FaultReset(const FaultReset&) = delete;
    FaultReset& operator=(const FaultReset&) = delete;
};

}  // namespace tessary::test
