#pragma once
// A reader that records what the walk hands over (and the notify target that counts posts).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#include "logfile/CInsFileRead.h"
#include "support/CountingTarget.h"

namespace tessary::test {

struct SeenRecord {
    uint32_t position;  // data position of the record's first byte
    char direction;
    uint8_t kind;
    uint32_t count;
    int32_t difference;
    int64_t elapsed;
    std::vector<uint8_t> payload;
};

class ProbeReader : public CInsFileRead {
public:
    explicit ProbeReader(const PathString& path, uint8_t option = 0)
        : CInsFileRead(path), option(option) {}
    ~ProbeReader() override { StopWorker(false); }

    uint8_t* OptionByte() override { return &option; }
    int32_t OnBegin(uint8_t* record) override {
        beginCount = ParseRecordHeader(record).timeCount;
        ++begins;
        return beginResult;
    }
    int32_t OnRecord(uint8_t* record, int32_t differenceMs) override {
        InsRecordHeader h = ParseRecordHeader(record);
        seen.push_back({RecordPosition(), static_cast<char>(h.direction), h.blockCode, h.timeCount,
                        differenceMs, m_elapsed,
                        std::vector<uint8_t>(record + 9, record + 9 + h.payloadLength)});
        if (holdAt != 0 && static_cast<int>(seen.size()) == holdAt) {
            std::unique_lock<std::mutex> lock(m_gateMutex);
            m_held = true;
            m_gate.notify_all();
            m_gate.wait(lock, [this] { return m_released; });
        }
        if (seen.size() == static_cast<size_t>(throwAt)) {
            throw std::bad_alloc();
        }
        return seen.size() == static_cast<size_t>(failAt) ? recordResult : 0;
    }
    int32_t OnWarning(uint32_t kind) override {
        warnings.push_back(kind);
        CInsFileRead::OnWarning(kind);
        return warningResult;
    }

    // With holdAt set: waits until the worker sits in OnRecord of that record.
    void WaitHeld() {
        std::unique_lock<std::mutex> lock(m_gateMutex);
        m_gate.wait(lock, [this] { return m_held; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_gateMutex);
        m_released = true;
        m_gate.notify_all();
    }

    uint8_t option;
    int holdAt = 0;
    int failAt = 0;
    int throwAt = 0;
    int32_t recordResult = 0;
    int32_t beginResult = 0;
    int32_t warningResult = 0;
    int begins = 0;
    uint32_t beginCount = 0;
    std::vector<SeenRecord> seen;
    std::vector<uint32_t> warnings;

private:
    std::mutex m_gateMutex;
    std::condition_variable m_gate;
    bool m_held = false;
    bool m_released = false;
};

}  // namespace tessary::test
