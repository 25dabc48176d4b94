#pragma once
// A notify target that counts what the reader's worker posts to it: progress, ended and any
// other notice, and the last message with its parameter.
#include <cstdint>
#include <mutex>

#include "logfile/NotifyTarget.h"
#include "logfile/Status.h"

namespace tessary::test {

class CountingTarget : public NotifyTarget {
public:
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        lastMessage = message;
        lastParam = lParam;
        if (wParam == kNotifyProgress) {
            ++progress;
        } else if (wParam == kNotifyEnded) {
            ++ended;
        } else {
            ++other;
        }
    }
    int Ended() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return ended;
    }

    int progress = 0;
    int ended = 0;
    int other = 0;
    uint32_t lastMessage = 0;
    void* lastParam = nullptr;

private:
    std::mutex m_mutex;
};

}  // namespace tessary::test
