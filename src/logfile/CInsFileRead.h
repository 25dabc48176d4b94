#pragma once
// The record walk over a log file on one worker thread, handing each record to a derived class.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "logfile/CLogFileRead.h"
#include "logfile/LogTime.h"
#include "logfile/NotifyTarget.h"
#include "platform/ManualResetEvent.h"

namespace tessary {

class CInsFileRead : public CLogFileRead {
public:
    explicit CInsFileRead(const PathString& path);
    // StopWorker(true): never frees a reader under a live worker. A derived class whose
    // overrides the worker calls must stop the worker in its own destructor first.
    ~CInsFileRead() override;

    // 0 the worker runs; 0x200 a walk runs already; -1 not usable or data kind not 1 or 4;
    // 0x301 no record in the data; 0x303 the worker cannot be started.
    int32_t StartConversion(NotifyTarget* window, uint32_t message);
    // Record scan from a data position: fills `buffer` (kRecordBufferSize) with the record and
    // returns the data position after it, or 0xFFFFFFFF when there is none.
    uint32_t FindRecord(uint8_t* buffer, uint32_t position);
    // Signals the stop event and joins a worker (the user interface waits at most 5000 ms for
    // its own purposes; the reader is never freed under a live thread). `final` also releases
    // the stop event and the record buffer.
    void StopWorker(bool final);
    // Blocks until no walk runs (the stop event is signalled), then joins the worker.
    void WaitForWalk();
    // A walk runs while the stop event is not signalled.
    bool IsWalking() const;
    // Signals the stop event only (the progress dialog's abort); the worker ends by itself.
    void RequestStop();

    // Derived classes: the option byte (bits 0-1 date mode, 2-3 line selection, 7 count-width
    // detection), the first record, each record, the warnings.
    virtual uint8_t* OptionByte() = 0;
    // Results 0 to 0x200 continue; below 0 or above 0x200 end the walk with that status.
    virtual int32_t OnBegin(uint8_t* record) = 0;
    // `record` is the record buffer (header + payload) and may be changed in place.
    virtual int32_t OnRecord(uint8_t* record, int32_t differenceMs) = 0;
    // kind 0: noise after a record; 1: a record header found only after skipped bytes.
    // 0 to 0x200 continue, anything else (as unsigned) ends the walk. The base counts it.
    virtual int32_t OnWarning(uint32_t kind);
    // Sets or clears bit 7 of the option byte; returns its previous value.
    virtual bool SetCountWidthDetection(bool on);

    int32_t ConversionStatus() const { return m_conversionStatus; }
    int32_t RecordCounter() const { return m_recordCounter; }
    int32_t WarningCounter() const { return m_warningCounter; }
    uint32_t WarningMask() const { return m_warningMask; }
    int64_t Elapsed() const { return m_elapsed; }
    uint32_t FirstCount() const { return m_firstCount; }
    uint32_t CurrentPosition() const { return m_currentPosition; }
    uint32_t NextPosition() const { return m_nextPosition; }
    // Data position of the first byte of the record last found by FindRecord.
    uint32_t RecordPosition() const { return m_recordPosition; }
    NotifyTarget* NotifyWindow() const { return m_notifyWindow; }

protected:
    // For a derived class that runs a pass of its own over what it already has (the converter's
    // re-delivery pass): resets the stop event and starts `body` on the worker thread. The body
    // ends with EndWalk. False (last error set) when the thread cannot be made.
    bool LaunchWorker(NotifyTarget* window, uint32_t message, std::function<void()> body);
    // Sets the status, signals the stop event and posts the completion notification.
    void EndWalk(int32_t status);
    // Posts the notify message with wParam when both window and message are set.
    void PostNotify(uintptr_t wParam);
    // The 100 ms check: returns 0x200 to go on (posting progress when due), 0x300 when a stop
    // was requested, -1 when the event cannot be tested. `lastCheck` is the caller's clock.
    int32_t CheckStop(std::chrono::steady_clock::time_point& lastCheck, bool first);

    NotifyTarget* m_notifyWindow = nullptr;
    uint32_t m_notifyMessage = 0;
    int32_t m_conversionStatus = 0;
    int32_t m_recordCounter = 0;
    int32_t m_warningCounter = 0;
    uint32_t m_warningMask = 0;
    CountWidthState m_width{};
    uint32_t m_previousCount = 0;
    uint32_t m_firstCount = 0;
    int64_t m_elapsed = 0;
    uint64_t m_recordBufferSize = kRecordBufferSize;
    std::unique_ptr<uint8_t[]> m_recordBuffer;
    uint32_t m_currentPosition = 0;
    uint32_t m_nextPosition = 0xFFFFFFFF;
    std::unique_ptr<ManualResetEvent> m_stopEvent;
    std::thread m_worker;

private:
    void WalkRecords();
    // Joins a worker that has ended or is ending (never the calling thread itself).
    void JoinWorker();
    // First 0xFF at or after a data position, or 0xFFFFFFFF (none, or a read failed).
    uint32_t NextMark(uint32_t position);
    // Last 0xFF of the run of 0xFF bytes that starts at `mark` (stops early on a read failure).
    uint32_t EndOfRun(uint32_t mark);

    uint32_t m_recordPosition = 0;
};

}  // namespace tessary
