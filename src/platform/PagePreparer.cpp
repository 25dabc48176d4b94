#include "platform/PagePreparer.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tessary {

namespace {

constexpr uint64_t kPageMask = 4095;
// One call asks for at most this much, so that a Release waits at most that long.
constexpr uint64_t kPrepareStep = uint64_t{512} << 10;

#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
constexpr bool kCanPrepare = true;
#else
constexpr bool kCanPrepare = false;
#endif

}  // namespace

PagePreparer::~PagePreparer() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_base = nullptr;
    }
    if (m_thread.joinable()) {
        m_signal.fetch_add(1);
        m_signal.notify_one();
        m_thread.join();
    }
}

void PagePreparer::Follow(uint8_t* base, uint64_t capacity, uint64_t used) {
    Release();
    // A heap block is not page-aligned; its pages are left to the first touch.
    if (!kCanPrepare || base == nullptr || (reinterpret_cast<uintptr_t>(base) & kPageMask) != 0) {
        return;
    }
    const std::lock_guard lock(m_mutex);
    m_base = base;
    m_capacity = capacity & ~kPageMask;
    m_ready = std::min(used & ~kPageMask, m_capacity);
    m_used.store(used, std::memory_order_relaxed);
    m_nextPost = used;
}

void PagePreparer::Release() {
    m_nextPost = ~uint64_t{0};
    const std::lock_guard lock(m_mutex);
    m_base = nullptr;
    m_capacity = 0;
    m_ready = 0;
}

uint64_t PagePreparer::Prepared() const {
    const std::lock_guard lock(m_mutex);
    return m_ready;
}

bool PagePreparer::PrepareRange(uint64_t from, uint64_t to) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // Only faults the pages in; what the writer stores meanwhile stays as written.
    if (::madvise(m_base + from, static_cast<size_t>(to - from), MADV_POPULATE_WRITE) != 0 &&
        errno == EINVAL) {
        return false;  // a kernel without the request
    }
    return true;
#else
    (void)from;
    (void)to;
    return false;
#endif
}

void PagePreparer::PostFar(uint64_t used) {
    m_nextPost = used + kPostStep;
    m_used.store(used, std::memory_order_relaxed);
    if (!m_thread.joinable() && !m_threadFailed) {
        try {
            m_thread = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
            m_threadFailed = true;
        }
    }
    if (m_threadFailed) {
        // No helper: the writer asks for the next stretch itself.
        const std::lock_guard lock(m_mutex);
        if (m_base != nullptr && !m_unsupported && m_ready < m_capacity) {
            const uint64_t to = std::min(m_capacity, (used + kPrepareStep) & ~kPageMask);
            if (to > m_ready) {
                m_unsupported = !PrepareRange(m_ready, to);
                m_ready = to;
            }
        }
        return;
    }
    // The helper either sees the new end before it sleeps or is told to look again.
    m_signal.fetch_add(1);
    if (m_idle.load()) {
        m_signal.notify_one();
    }
}

void PagePreparer::Run() {
    for (;;) {
        const uint32_t seen = m_signal.load();
        bool worked = false;
        {
            const std::lock_guard lock(m_mutex);
            if (m_stop) {
                return;
            }
            const uint64_t used = m_used.load(std::memory_order_relaxed);
            const uint64_t target = std::min(m_capacity, (used + kLead) & ~kPageMask);
            if (m_base != nullptr && !m_unsupported && m_ready < target) {
                const uint64_t to = std::min(target, m_ready + kPrepareStep);
                m_unsupported = !PrepareRange(m_ready, to);
                m_ready = to;
                worked = true;
            }
        }
        if (!worked) {
            m_idle.store(true);
            m_signal.wait(seen);
            m_idle.store(false);
        }
    }
}

}  // namespace tessary
