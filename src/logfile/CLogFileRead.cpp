#include "logfile/CLogFileRead.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "logfile/LogTime.h"
#include "platform/LastError.h"
#include "platform/TimeMath.h"
#include "platform/WinError.h"

namespace tessary {

namespace {

constexpr uint64_t kMaxDataSize = 0xFFFFFFFF;

// The system's error of a failed read, or 122 when it gives none (a short read).
uint32_t ReadError(bool readFailed) {
    uint32_t error = readFailed ? GetLastError() : kErrorSuccess;
    return error != kErrorSuccess ? error : kErrorInsufficientBuffer;
}

}  // namespace

bool CLogFileRead::ReadPart(uint64_t offset, uint8_t* buffer, uint32_t count, uint32_t& error) {
    uint32_t done = 0;
    bool ok = m_file.ReadAt(offset, buffer, count, done);
    if (ok && done == count) {
        return true;
    }
    error = ReadError(!ok);
    return false;
}

CLogFileRead::CLogFileRead(const PathString& path) {
    // Keep our own copy of the path and the read cache; neither is optional.
    if (path.empty()) {
        Fail(kOpenBadArgument, kErrorInvalidParameter);
        return;
    }
    try {
        m_path = path;
    } catch (const std::bad_alloc&) {
        Fail(kOpenBadArgument, kErrorInvalidParameter);
        return;
    }
    m_cache.reset(new (std::nothrow) uint8_t[kReadCacheSize]());
    if (!m_cache) {
        Fail(kOpenBadArgument, kErrorNotEnoughMemory);
        return;
    }
    // Open for reading while other programs may read it too.
    if (!m_file.OpenRead(m_path)) {
        Fail(kOpenFailed, GetLastError());
        return;
    }
    // Last-write time and size.
    if (!m_file.LastWriteTimeLocal(m_fileTime)) {
        Fail(kOpenReadError, GetLastError());
        return;
    }
    if (!m_file.Size(m_fileSize)) {
        Fail(kOpenReadError, GetLastError());
        return;
    }
    // Header validation, in the order that decides the result class.
    if (m_fileSize < kInsHeaderSize) {
        Fail(kOpenFormatError, kErrorInvalidFunction);
        return;
    }
    uint8_t headerBytes[kInsHeaderSize] = {};
    uint32_t error = kErrorSuccess;
    if (!ReadPart(0, headerBytes, kInsHeaderSize, error)) {
        Fail(kOpenReadError, error);
        return;
    }
    m_header = ParseInsLogHeader(headerBytes);

    const SystemTime start = StartDateTimeOf(m_header);
    if (!SystemTimeToTicks(start, m_startTime)) {
        Fail(kOpenFormatError, kErrorInvalidFunction);
        return;
    }

    const uint32_t extLength = m_header.extHeaderLength;
    if (extLength != 0) {
        if (extLength < kInsExtHeaderSize || extLength > m_fileSize - kInsHeaderSize) {
            Fail(kOpenFormatError, kErrorInvalidFunction);
            return;
        }
        uint8_t extBytes[kInsExtHeaderSize] = {};
        if (!ReadPart(kInsHeaderSize, extBytes, kInsExtHeaderSize, error)) {
            Fail(kOpenReadError, error);
            return;
        }
        m_extHeader = ParseInsLogExtHeader(extBytes);
        // The bytes after the first 32 are skipped: reads are positioned, and the length check
        // above keeps them inside the file.

        // A log output end that the calendar cannot show counts as no end time.
        int64_t end = 0;
        SystemTime endCalendar{};
        if (AddMsToTicks(m_startTime, static_cast<int64_t>(EndValueOf(m_header, m_extHeader)),
                         end) &&
            TicksToSystemTime(end, endCalendar)) {
            m_endTime = end;
        }
    }

    const uint64_t headerSize = HeaderSize();
    const uint64_t rest = m_fileSize - headerSize;  // extLength <= size - 32 keeps this >= 0
    uint64_t dataSize = 0;
    if (IsRing()) {
        if (rest > kMaxDataSize) {
            Fail(kOpenFormatError, kErrorInvalidFunction);
            return;
        }
        dataSize = rest;
        // A head offset outside the ring would make every read fail: not a usable log.
        if (m_header.dataByteCount >= dataSize) {
            Fail(kOpenFormatError, kErrorInvalidFunction);
            return;
        }
    } else {
        dataSize =
            m_header.dataByteCount != 0 ? m_header.dataByteCount : std::min(rest, kMaxDataSize);
        if (dataSize > rest) {
            Fail(kOpenFormatError, kErrorInvalidFunction);
            return;
        }
    }

    // Data area, start correction and base time.
    m_dataSize = static_cast<uint32_t>(dataSize);
    m_dataOrigin = static_cast<uint32_t>(RingOrigin());
    m_startCorrection = StartCorrectionOf(m_header);
    if (!SetBaseTime(m_startCorrection)) {
        m_baseTime = 0;
        m_baseCalendar = SystemTime{};
        Fail(kOpenFormatError, kErrorInvalidFunction);
        return;
    }
    m_lastError = kErrorSuccess;
}

CLogFileRead::~CLogFileRead() = default;

void CLogFileRead::Fail(int32_t openStatus, uint32_t error) {
    m_openStatus = openStatus;
    m_lastError = error;
    {
        LastErrorKeeper keep;
        m_file.Close();
    }
    PathString().swap(m_path);
    m_cache.reset();
    m_cacheLength = 0;
    m_cacheStart = 0;
    SetLastError(error);
}

uint64_t CLogFileRead::RingOrigin() const {
    return static_cast<uint64_t>(HeaderSize()) + (IsRing() ? m_header.dataByteCount : 0);
}

uint64_t CLogFileRead::FileOffset64(uint32_t position) const {
    uint64_t offset = RingOrigin() + position;
    if (offset >= m_fileSize) {
        offset -= m_dataSize;  // the ring continues at the start of the data area
    }
    return offset;
}

bool CLogFileRead::IsUsable() const {
    if (m_openStatus != kOpenOk) {
        return false;
    }
    return (m_file.IsOpen() && m_cache) || m_dataSize != 0;
}

uint32_t CLogFileRead::FileOffsetOf(uint32_t position) const {
    if (!IsUsable() || position >= m_dataSize) {
        return 0xFFFFFFFF;
    }
    uint64_t offset = FileOffset64(position);
    return offset >= 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<uint32_t>(offset);
}

uint32_t CLogFileRead::ReadAt(void* destination, uint32_t position, uint32_t count) {
    if (count == 0 || position >= m_dataSize || destination == nullptr) {
        return 0;
    }
    const uint32_t total = std::min(count, m_dataSize - position);
    auto* out = static_cast<uint8_t*>(destination);
    uint32_t copied = 0;
    while (copied < total) {
        const uint32_t at = position + copied;
        if (!m_cache || at < m_cacheStart || at - m_cacheStart >= m_cacheLength) {
            if (!FillCache(at)) {
                return 0;
            }
        }
        const uint32_t inCache = m_cacheLength - (at - m_cacheStart);
        const uint32_t part = std::min(total - copied, inCache);
        std::memcpy(out + copied, m_cache.get() + (at - m_cacheStart), part);
        copied += part;
    }
    return copied;
}

bool CLogFileRead::FillCache(uint32_t position) {
    // After a read failure (or once the file is closed) every read fails at once.
    if (m_openStatus != kOpenOk || !m_cache || !m_file.IsOpen()) {
        SetLastError(m_openStatus != kOpenOk ? m_lastError : kErrorInvalidHandle);
        return false;
    }
    if (position >= m_dataSize) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    const uint32_t length = std::min(kReadCacheSize, m_dataSize - position);
    const uint64_t offset = FileOffset64(position);
    // A fill that crosses the end of the file continues at the start of the data area.
    const uint32_t first = static_cast<uint32_t>(std::min<uint64_t>(length, m_fileSize - offset));
    m_cacheLength = 0;
    uint32_t error = kErrorSuccess;
    if (!ReadPart(offset, m_cache.get(), first, error) ||
        (first < length && !ReadPart(HeaderSize(), m_cache.get() + first, length - first, error))) {
        m_openStatus = kOpenReadError;
        m_lastError = error;
        SetLastError(error);
        return false;
    }
    m_cacheStart = position;
    m_cacheLength = length;
    return true;
}

bool CLogFileRead::SetBaseTime(int64_t ms) {
    int64_t ticks = 0;
    SystemTime calendar{};
    if (!AddMsToTicks(m_startTime, ms, ticks) || !TicksToSystemTime(ticks, calendar)) {
        return false;
    }
    m_baseTime = ticks;
    m_baseCalendar = calendar;
    return true;
}

int CLogFileRead::CorrectionState() const {
    if (!IsRing() || m_startCorrection != 0) {
        return 0;
    }
    if (m_endTime != 0) {
        const uint64_t spanMs = static_cast<uint64_t>(m_endTime - m_startTime) / kTicksPerMs;
        const uint32_t range = IsIns1500() ? kCounterRange1500 : kCounterRange64;
        if (spanMs != 0 && spanMs >= range) {
            return 1;
        }
    }
    return -1;
}

void CLogFileRead::CloseFile() {
    LastErrorKeeper keep;
    m_file.Close();
    // Nothing is read any more; the headers, base time and data size stay.
    m_cache.reset();
    m_cacheLength = 0;
    m_cacheStart = 0;
}

}  // namespace tessary
