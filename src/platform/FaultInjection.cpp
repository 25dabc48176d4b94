#include "platform/FaultInjection.h"

#include <atomic>

namespace tessary::fault {

namespace {

// Each switch holds (calls left until the fault) << 1 | a flag bit; 0 is disarmed. The counter
// is taken with compare-and-swap so that exactly one call, on any thread, sees the fault.
std::atomic<int64_t> g_allocation{0};
std::atomic<int64_t> g_read{0};
std::atomic<int64_t> g_write{0};
std::atomic<int64_t> g_threadStart{0};
std::atomic<bool> g_checkEveryRecord{false};

void Arm(std::atomic<int64_t>& sw, int n, bool flag) {
    sw.store(n > 0 ? (static_cast<int64_t>(n) << 1) | (flag ? 1 : 0) : 0);
}

// 0 not this call, 1 this call (flag clear), 2 this call (flag set).
int Take(std::atomic<int64_t>& sw) {
    int64_t current = sw.load();
    for (;;) {
        int64_t left = current >> 1;
        if (left <= 0) {
            return 0;
        }
        int64_t next = left == 1 ? 0 : ((left - 1) << 1) | (current & 1);
        if (sw.compare_exchange_weak(current, next)) {
            if (left != 1) {
                return 0;
            }
            return (current & 1) ? 2 : 1;
        }
    }
}

}  // namespace

void Reset() {
    g_allocation.store(0);
    g_read.store(0);
    g_write.store(0);
    g_threadStart.store(0);
    g_checkEveryRecord.store(false);
}

void FailNthAllocation(int n) {
    Arm(g_allocation, n, false);
}

void FailNthRead(int n, bool shortRead) {
    Arm(g_read, n, shortRead);
}

void FailNthWrite(int n) {
    Arm(g_write, n, false);
}

void FailNthThreadStart(int n) {
    Arm(g_threadStart, n, false);
}

void CheckStopAtEveryRecord(bool on) {
    g_checkEveryRecord.store(on);
}

bool ShouldFailAllocation() {
    return Take(g_allocation) != 0;
}

int ReadFault() {
    return Take(g_read);
}

bool ShouldFailWrite() {
    return Take(g_write) != 0;
}

bool ShouldFailThreadStart() {
    return Take(g_threadStart) != 0;
}

bool StopCheckAtEveryRecord() {
    return g_checkEveryRecord.load(std::memory_order_relaxed);
}

}  // namespace tessary::fault
