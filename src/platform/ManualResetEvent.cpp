#include "platform/ManualResetEvent.h"

#include <chrono>

namespace tessary {

ManualResetEvent::ManualResetEvent(bool initiallySignalled) : m_signalled(initiallySignalled) {}

void ManualResetEvent::Set() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_changed.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool ManualResetEvent::IsSet() const {
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

bool ManualResetEvent::Wait(uint32_t timeoutMs) const {
    std::unique_lock lock(m_mutex);
    if (timeoutMs == kInfinite) {
        m_changed.wait(lock, [this] { return m_signalled; });
        return true;
    }
    // steady_clock: a change of the wall clock neither shortens nor stretches the wait.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    return m_changed.wait_until(lock, deadline, [this] { return m_signalled; });
}

}  // namespace tessary
