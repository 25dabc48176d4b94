#pragma once
// Keeps the pages of a block that is written front to back ready ahead of its writer. The kernel
// zero-fills a fresh page on first touch; a helper thread asks for the next few MiB past what the
// writer has reported, so that work runs on another core instead of in the writer's stores. The
// writer only reports how far it has come and never waits for the helper.
//
// The owner stops the following (Release) before the block is freed, grown (it may move) or made
// anew, and follows the new block afterwards; the destructor stops and joins the helper. Where
// there is no such service (not Linux, a heap block) nothing is prepared.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tessary {

class PagePreparer {
public:
    // How far past the reported end the pages are prepared, and how often the writer reports.
    static constexpr uint64_t kLead = uint64_t{4} << 20;
    static constexpr uint64_t kPostStep = uint64_t{256} << 10;

    PagePreparer() = default;
    ~PagePreparer();
    PagePreparer(const PagePreparer&) = delete;
    PagePreparer& operator=(const PagePreparer&) = delete;

    // Follows the block at `base` of `capacity` bytes whose first `used` bytes are written,
    // after releasing the block followed so far.
    void Follow(uint8_t* base, uint64_t capacity, uint64_t used);
    // Returns once nothing of the followed block is touched any more.
    void Release();
    // The writer's end: called after every write, reports only every kPostStep bytes.
    void Post(uint64_t used) {
        if (used >= m_nextPost) {
            PostFar(used);
        }
    }
    // Bytes from the start of the followed block whose pages have been asked for (tests).
    uint64_t Prepared() const;

private:
    void PostFar(uint64_t used);
    void Run();
    // Asks for the pages of [from, to) of the followed block; m_mutex held.
    bool PrepareRange(uint64_t from, uint64_t to);

    // Writer side only.
    uint64_t m_nextPost = ~uint64_t{0};
    bool m_threadFailed = false;

    mutable std::mutex m_mutex;  // held by the helper for each range it prepares
    uint8_t* m_base = nullptr;
    uint64_t m_capacity = 0;
    uint64_t m_ready = 0;  // page-aligned end of what is prepared
    bool m_stop = false;
    bool m_unsupported = false;

    std::atomic<uint64_t> m_used{0};
    std::atomic<uint32_t> m_signal{0};
    std::atomic<bool> m_idle{false};
    std::thread m_thread;
};

}  // namespace tessary
