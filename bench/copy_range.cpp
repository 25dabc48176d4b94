// The range copy of a million display lines into a clipboard that keeps the text: seconds, and
// the heap the copy needs beyond the text it leaves, per byte of that text (counted by the
// global operator new and delete of this program).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "BenchLog.h"
#include "BenchTable.h"
#include "mainwnd/CopyText.h"

namespace {

// Every block carries its size in front, so that deletes without a size are counted too.
constexpr size_t kHeader = alignof(std::max_align_t);

std::atomic<uint64_t> g_live{0};
std::atomic<uint64_t> g_peak{0};

void* Allocate(size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        return nullptr;
    }
    *static_cast<size_t*>(block) = size;
    const uint64_t live = g_live.fetch_add(size) + size;
    uint64_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(block) + kHeader;
}

void Release(void* p) {
    if (p == nullptr) {
        return;
    }
    void* block = static_cast<char*>(p) - kHeader;
    g_live.fetch_sub(*static_cast<size_t*>(block));
    std::free(block);
}

void* AllocateOrThrow(size_t size) {
    void* p = Allocate(size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

}  // namespace

void* operator new(size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, size_t) noexcept {
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}

namespace {

constexpr int32_t kCopyLines = 1000000;

// Keeps the text, as the system clipboard does.
struct KeepingClipboard : tessary::ClipboardService {
    std::u16string text;
    int SetText(std::u16string_view t) override {
        try {
            text.assign(t);
        } catch (const std::bad_alloc&) {
            return -1;
        }
        return 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    // About three display lines per record.
    const char* records = argc > 1 ? argv[1] : "345000";
    int result = 0;
    {
        tessary::bench::BenchTable bench;
        if (!bench.Generate("copy_range", records)) {
            return 1;
        }
        const tessary::DisplayLineTable& table = bench.table;
        const int32_t current = std::min(kCopyLines, table.LineCount() - 1);
        const std::u16string legend = bench.converter->LY1Legend(-1);
        tessary::CopyParams params;
        params.para = &bench.para;
        params.heading = legend;

        for (int run = 0; run < 3; ++run) {
            KeepingClipboard clipboard;
            const uint64_t before = g_live.load();
            g_peak.store(before);
            const auto start = std::chrono::steady_clock::now();
            const tessary::CopyOutcome outcome = tessary::CopyRange(
                table, 1, current, params, [] { return true; }, clipboard);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const double textBytes = 2.0 * static_cast<double>(clipboard.text.size());
            const double beyond =
                static_cast<double>(g_peak.load() - before) - textBytes;  // above the kept text
            const tessary::CopySpan span = tessary::CopySpanOf(table, 1, current);
            if (outcome.result != tessary::kCopyDone) {
                std::printf("copy failed: %d\n", outcome.result);
                result = 1;
                break;
            }
            std::printf(
                "copy of lines %d..%d (%d lines): %.3f s, %.1f MB of text, peak heap beyond the "
                "text %.1f MB = %.2f bytes per byte of text\n",
                span.firstLine, span.lastLine, span.lastLine - span.firstLine + 1, seconds,
                textBytes / 1e6, beyond / 1e6, beyond / textBytes);
        }
        std::printf("wanted: at most 2 s and at most 3 bytes per byte of text\n");
    }
    return result;
}
