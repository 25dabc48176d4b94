#pragma once
// A manual-reset event (CreateEventW with bManualReset): stays signalled until reset.
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tessary {

inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

class ManualResetEvent {
public:
    explicit ManualResetEvent(bool initiallySignalled);
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // True when signalled within timeoutMs (0 tests without waiting; kInfinite waits forever).
    bool Wait(uint32_t timeoutMs) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_signalled;
};

}  // namespace tessary
