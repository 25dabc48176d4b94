#include "logfile/CInsFileRead.h"

#include <time.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

#include "platform/FaultInjection.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

constexpr uint32_t kNoPosition = 0xFFFFFFFF;
constexpr auto kCheckInterval = std::chrono::milliseconds(100);
constexpr uint8_t kCountWidthBit = 0x80;
constexpr uint8_t kLineSelectionBits = 0x0C;
constexpr uint8_t kFirstLineOnly = 0x00;
constexpr uint8_t kSecondLineOnly = 0x04;

// Results of OnBegin / OnRecord that end the walk.
bool EndsWalk(int32_t result) {
    return result < 0 || result > kStatusRunning;
}
// OnWarning results are taken as unsigned.
bool WarningEndsWalk(int32_t result) {
    return static_cast<uint32_t>(result) > static_cast<uint32_t>(kStatusRunning);
}

// The steady clock as the 100 ms check needs it, asked once per record: on Linux its coarse
// reading (a few ms of resolution, a fraction of the cost).
std::chrono::steady_clock::time_point CoarseNow() {
#if defined(__linux__) && defined(CLOCK_MONOTONIC_COARSE)
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0) {
        return std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec)));
    }
#endif
    return std::chrono::steady_clock::now();
}

bool IsUpperCaseLine(uint8_t direction) {
    return direction == 'T' || direction == 'R';
}

}  // namespace

CInsFileRead::CInsFileRead(const PathString& path) : CLogFileRead(path) {
    if (m_openStatus != kOpenOk) {
        StopWorker(true);
        return;
    }
    m_recordBuffer.reset(new (std::nothrow) uint8_t[kRecordBufferSize]());
    if (!m_recordBuffer) {
        Fail(kOpenBadArgument, kErrorNotEnoughMemory);
        StopWorker(true);
        return;
    }
    m_stopEvent.reset(new (std::nothrow) ManualResetEvent(true));
    if (!m_stopEvent) {
        Fail(kOpenBadArgument, kErrorNotEnoughMemory);
        StopWorker(true);
        return;
    }
}

CInsFileRead::~CInsFileRead() {
    StopWorker(true);
}

bool CInsFileRead::IsWalking() const {
    return m_stopEvent && !m_stopEvent->IsSet();
}

void CInsFileRead::RequestStop() {
    if (m_stopEvent) {
        m_stopEvent->Set();
    }
}

void CInsFileRead::JoinWorker() {
    // A worker that asks for its own end must not join itself; it ends once it returns.
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id()) {
        m_worker.join();
    }
}

void CInsFileRead::StopWorker(bool final) {
    if (m_stopEvent) {
        m_stopEvent->Set();
    }
    // Always joined: the reader is never released under a live worker. A stop is noticed
    // within 100 ms between records, so this returns soon after.
    JoinWorker();
    if (final) {
        m_stopEvent.reset();
        m_recordBuffer.reset();
    }
}

void CInsFileRead::WaitForWalk() {
    if (m_stopEvent) {
        m_stopEvent->Wait(kInfinite);
    }
    JoinWorker();
}

int32_t CInsFileRead::OnWarning(uint32_t kind) {
    ++m_warningCounter;
    if (kind < 32) {
        m_warningMask |= 1u << kind;
    }
    return 0;
}

bool CInsFileRead::SetCountWidthDetection(bool on) {
    uint8_t* option = OptionByte();
    if (option == nullptr) {
        return false;
    }
    const bool previous = (*option & kCountWidthBit) != 0;
    if (on) {
        *option = static_cast<uint8_t>(*option | kCountWidthBit);
    } else {
        *option = static_cast<uint8_t>(*option & ~kCountWidthBit);
    }
    return previous;
}

uint32_t CInsFileRead::NextMark(uint32_t position) {
    while (position < m_dataSize) {
        if (position < m_cacheStart || position - m_cacheStart >= m_cacheLength || !m_cache) {
            if (!FillCache(position)) {
                return kNoPosition;
            }
        }
        const uint8_t* begin = m_cache.get() + (position - m_cacheStart);
        const uint32_t left = m_cacheLength - (position - m_cacheStart);
        const void* hit = std::memchr(begin, kRecordMark, left);
        if (hit != nullptr) {
            return position + static_cast<uint32_t>(static_cast<const uint8_t*>(hit) - begin);
        }
        position += left;
    }
    return kNoPosition;
}

uint32_t CInsFileRead::EndOfRun(uint32_t mark) {
    uint32_t position = mark + 1;
    while (position < m_dataSize) {
        if (position < m_cacheStart || position - m_cacheStart >= m_cacheLength || !m_cache) {
            if (!FillCache(position)) {
                break;
            }
        }
        const uint8_t* begin = m_cache.get() + (position - m_cacheStart);
        const uint32_t left = m_cacheLength - (position - m_cacheStart);
        uint32_t i = 0;
        while (i < left && begin[i] == kRecordMark) {
            ++i;
        }
        position += i;
        if (i < left) {
            break;
        }
    }
    return position - 1;
}

uint32_t CInsFileRead::FindRecord(uint8_t* buffer, uint32_t position) {
    if (buffer == nullptr) {
        return kNoPosition;
    }
    uint32_t p = position;
    while (p < m_dataSize && m_dataSize - p >= kRecordHeaderSize) {
        if (ReadAt(buffer, p, kRecordHeaderSize) != kRecordHeaderSize) {
            return kNoPosition;
        }
        if (IsValidRecordHeader(buffer)) {
            const uint32_t length = ParseRecordHeader(buffer).payloadLength;
            m_recordPosition = p;
            const uint64_t end = static_cast<uint64_t>(p) + kRecordHeaderSize + length;
            // A payload cut by the end of the data is read as far as it goes; the walk never
            // passes such a record on.
            uint32_t got = 0;
            if (length != 0 && p + kRecordHeaderSize < m_dataSize) {
                got = ReadAt(buffer + kRecordHeaderSize, p + kRecordHeaderSize, length);
                if (got == 0 && !IsUsable()) {
                    return kNoPosition;
                }
            }
            std::memset(buffer + kRecordHeaderSize + got, 0, length - got);
            return end >= kNoPosition ? kNoPosition - 1 : static_cast<uint32_t>(end);
        }
        // A record opens with 0xFF: skip straight to the next one.
        const uint32_t mark = NextMark(p + 1);
        if (mark == kNoPosition) {
            return kNoPosition;
        }
        p = mark;
    }
    return kNoPosition;
}

void CInsFileRead::PostNotify(uintptr_t wParam) {
    if (m_notifyWindow != nullptr && m_notifyMessage != 0) {
        m_notifyWindow->PostNotify(m_notifyMessage, wParam, this);
    }
}

int32_t CInsFileRead::CheckStop(std::chrono::steady_clock::time_point& lastCheck, bool first) {
    const auto now = CoarseNow();
    if (!first && now - lastCheck < kCheckInterval && !fault::StopCheckAtEveryRecord()) {
        return kStatusRunning;
    }
    if (!m_stopEvent) {
        SetLastError(kErrorInvalidHandle);
        return -1;
    }
    if (m_stopEvent->Wait(0)) {
        return kStatusStopped;
    }
    PostNotify(kNotifyProgress);
    lastCheck = now;
    return kStatusRunning;
}

void CInsFileRead::EndWalk(int32_t status) {
    m_conversionStatus = status;
    if (m_stopEvent) {
        m_stopEvent->Set();
    }
    PostNotify(kNotifyEnded);
}

bool CInsFileRead::LaunchWorker(NotifyTarget* window, uint32_t message,
                                std::function<void()> body) {
    if (!m_stopEvent) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    if (IsWalking()) {
        SetLastError(kErrorInvalidFunction);
        return false;
    }
    // A walk that was asked to stop may still be on its way out.
    JoinWorker();
    if (m_worker.joinable()) {
        // Started from the ending worker's own completion notification: that thread touches
        // nothing more, so it may finish on its own.
        m_worker.detach();
    }
    m_notifyWindow = window;
    m_notifyMessage = message;
    m_conversionStatus = kStatusRunning;
    m_stopEvent->Reset();
    try {
        if (fault::ShouldFailThreadStart()) {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        m_worker = std::thread(std::move(body));
    } catch (const std::system_error& e) {
        m_stopEvent->Set();
        const int code = e.code().value();
        SetLastError(code == EAGAIN ? kErrorNotEnoughMemory : kErrorInvalidFunction);
        return false;
    } catch (const std::bad_alloc&) {
        m_stopEvent->Set();
        SetLastError(kErrorNotEnoughMemory);
        return false;
    }
    return true;
}

int32_t CInsFileRead::StartConversion(NotifyTarget* window, uint32_t message) {
    if (IsWalking()) {
        SetLastError(kErrorInvalidFunction);
        return kStatusRunning;
    }
    JoinWorker();
    if (!IsUsable() || !IsDecodedDataKind(m_header.dataKind) || !m_file.IsOpen() ||
        !m_recordBuffer || !m_stopEvent) {
        m_conversionStatus = -1;
        return -1;
    }
    m_notifyWindow = window;
    m_notifyMessage = message;
    SetCountWidthDetection(true);
    m_warningMask = 0;
    m_warningCounter = 0;
    m_recordCounter = 0;
    m_currentPosition = 0;

    m_nextPosition = FindRecord(m_recordBuffer.get(), 0);
    if (m_nextPosition == kNoPosition) {
        // A read that failed is not an empty log.
        m_conversionStatus = IsUsable() ? kStatusNoRecord : kStatusReadError;
        return m_conversionStatus;
    }
    const uint32_t count = ParseRecordHeader(m_recordBuffer.get()).timeCount;
    m_width = CountWidthState{};
    m_previousCount = count;
    m_firstCount = count;
    if (CorrectionState() < 0) {
        SetBaseTime(BaseOffsetFromCounts(count, m_header.timeCountAtStart, IsIns1500()));
    }
    m_elapsed = 0;

    auto body = [this] {
        try {
            WalkRecords();
        } catch (const std::bad_alloc&) {
            // An override that ran out of memory ends the walk like any failed record.
            SetLastError(kErrorNotEnoughMemory);
            EndWalk(kStatusOutOfMemory);
        }
    };
    if (!LaunchWorker(window, message, std::move(body))) {
        if (GetLastError() == kErrorSuccess) {
            SetLastError(kErrorInvalidFunction);
        }
        m_conversionStatus = kStatusNotStarted;
        return kStatusNotStarted;
    }
    return kStatusDone;
}

void CInsFileRead::WalkRecords() {
    uint8_t* const record = m_recordBuffer.get();
    int32_t status = kStatusRunning;
    const int32_t begin = OnBegin(record);
    if (EndsWalk(begin)) {
        status = begin;
    }
    auto lastCheck = std::chrono::steady_clock::now();
    bool firstCheck = true;
    while (status == kStatusRunning) {
        status = CheckStop(lastCheck, firstCheck);
        firstCheck = false;
        if (status != kStatusRunning) {
            break;
        }
        const InsRecordHeader header = ParseRecordHeader(record);
        const uint64_t recordEnd =
            static_cast<uint64_t>(m_recordPosition) + kRecordHeaderSize + header.payloadLength;
        if (recordEnd > m_dataSize) {
            status = kStatusDone;  // a truncated last record is never passed on
            break;
        }

        ++m_recordCounter;
        int32_t difference = 0;
        if (m_recordCounter > 1) {
            const uint8_t* option = OptionByte();
            bool detect = option != nullptr && (*option & kCountWidthBit) != 0;
            const bool detectBefore = detect;
            difference = CountDifference(m_previousCount, header.timeCount, m_width, detect);
            if (detectBefore && !detect) {
                SetCountWidthDetection(false);
            }
        }
        m_elapsed += difference;
        m_previousCount = header.timeCount;

        const uint8_t* option = OptionByte();
        const uint8_t lines = option != nullptr ? (*option & kLineSelectionBits) : kFirstLineOnly;
        const bool passes =
            IsUpperCaseLine(header.direction) ? lines != kSecondLineOnly : lines != kFirstLineOnly;
        if (passes) {
            const int32_t result = OnRecord(record, difference);
            if (EndsWalk(result)) {
                status = result;
                break;
            }
        }

        // The next record: noise up to the next 0xFF, then a run of fill bytes whose last 0xFF
        // opens the record.
        uint32_t search = kNoPosition;
        const uint32_t mark = m_nextPosition < m_dataSize ? NextMark(m_nextPosition) : kNoPosition;
        if (mark != kNoPosition) {
            if (mark > m_nextPosition) {
                // The warning shows the end of the previous record and the mark found after
                // the noise.
                m_currentPosition = m_nextPosition;
                m_nextPosition = mark;
                const int32_t warning = OnWarning(0);
                if (WarningEndsWalk(warning)) {
                    status = warning;
                    break;
                }
            }
            const uint32_t last = EndOfRun(mark);
            if (last + 1 < m_dataSize && IsUsable()) {
                search = last;
            }
        }
        uint32_t next = kNoPosition;
        if (search != kNoPosition) {
            m_currentPosition = search;
            next = FindRecord(record, search);
        }
        if (next == kNoPosition) {
            if (IsUsable()) {
                status = kStatusDone;
                m_currentPosition = m_dataSize;
            } else {
                status = kStatusReadError;
            }
            break;
        }
        m_nextPosition = next;
        if (m_recordPosition != search) {
            const int32_t warning = OnWarning(1);
            if (WarningEndsWalk(warning)) {
                status = warning;
                break;
            }
        }
    }
    EndWalk(status);
}

}  // namespace tessary
