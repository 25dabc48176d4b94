#pragma once
// Where a worker posts its notifications (PostMessage to the initiating window). The windows
// turn these into posted WM_APP+n events; the CLI and tests count them.
#include <cstdint>

namespace tessary {

class NotifyTarget {
public:
    virtual ~NotifyTarget() = default;
    // Called on the worker thread; must not block for long.
    virtual void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) = 0;
};

}  // namespace tessary
