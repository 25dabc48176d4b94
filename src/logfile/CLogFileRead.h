#pragma once
// File access to one INS log: header validation at open, the data area with its ring mapping,
// and a 32768-byte read cache. Never throws and never shows a message: results are the open
// status and the last error (Windows error numbers).
#include <cstdint>
#include <memory>

#include "logfile/InsLogFormat.h"
#include "logfile/Status.h"
#include "platform/Calendar.h"
#include "platform/File.h"

namespace tessary {

class CLogFileRead {
public:
    // OpenLog: opens and validates; see OpenStatus() and LastError().
    explicit CLogFileRead(const PathString& path);
    virtual ~CLogFileRead();
    CLogFileRead(const CLogFileRead&) = delete;
    CLogFileRead& operator=(const CLogFileRead&) = delete;

    // Open status 0 and either the file and cache present or (file closed) data size not 0.
    bool IsUsable() const;
    // File offset of a data position (ring mapping); 0xFFFFFFFF when not usable or out of range.
    uint32_t FileOffsetOf(uint32_t position) const;
    // Copies up to count bytes from the data position, clamped to the data; 0 at or past the
    // end, for count 0 or when a cache fill fails.
    uint32_t ReadAt(void* destination, uint32_t position, uint32_t count);
    bool FillCache(uint32_t position);
    // Base time = start time + ms * 10000; false (unchanged) when not representable.
    bool SetBaseTime(int64_t ms);
    // 0 linear or corrected, 1 ring with base from the end time, -1 ring with base from counts.
    int CorrectionState() const;
    // The owner may close the file after a walk; headers, base time and data size stay valid.
    void CloseFile();

    const PathString& Path() const { return m_path; }
    uint32_t LastError() const { return m_lastError; }
    int32_t OpenStatus() const { return m_openStatus; }
    const InsLogHeader& Header() const { return m_header; }
    const InsLogExtHeader& ExtHeader() const { return m_extHeader; }
    bool HasExtHeader() const { return m_header.extHeaderLength != 0; }
    uint32_t HeaderSize() const { return kInsHeaderSize + m_header.extHeaderLength; }
    bool IsRing() const { return m_header.loopCount != 0; }
    bool IsIns1500() const { return IsIns1500Board(m_header.boardKind); }
    int64_t StartTime() const { return m_startTime; }
    int64_t FileTime() const { return m_fileTime; }
    int64_t StartCorrection() const { return m_startCorrection; }
    // In memory only (the end-time base, the correction tool); the header copy is not changed.
    void SetStartCorrectionValue(int64_t ms) { m_startCorrection = ms; }
    int64_t BaseTime() const { return m_baseTime; }
    const SystemTime& BaseCalendar() const { return m_baseCalendar; }
    int64_t EndTime() const { return m_endTime; }
    uint64_t FileSize() const { return m_fileSize; }
    uint32_t DataSize() const { return m_dataSize; }
    uint32_t DataOrigin() const { return m_dataOrigin; }
    bool IsFileOpen() const { return m_file.IsOpen(); }

    // The in-memory header copy that the correction save rewrites.
    InsLogHeader& MutableHeader() { return m_header; }

protected:
    void Fail(int32_t openStatus, uint32_t error);  // sets status and error, releases all

    PathString m_path;
    File m_file;
    uint32_t m_lastError = 0;
    int32_t m_openStatus = kOpenOk;
    InsLogHeader m_header{};
    InsLogExtHeader m_extHeader{};
    int64_t m_startTime = 0;
    int64_t m_fileTime = 0;
    int64_t m_startCorrection = 0;
    int64_t m_baseTime = 0;
    SystemTime m_baseCalendar{};
    int64_t m_endTime = 0;
    uint64_t m_fileSize = 0;
    uint32_t m_dataSize = 0;
    uint32_t m_dataOrigin = 0;
    std::unique_ptr<uint8_t[]> m_cache;
    uint32_t m_cacheLength = 0;
    uint32_t m_cacheStart = 0;

private:
    // File offset of the data area's position 0, in 64 bits (H + head offset for a ring).
    uint64_t RingOrigin() const;
    // File offset of a data position below the data size, wrapped at the end of the file.
    uint64_t FileOffset64(uint32_t position) const;
    // One positioned read; a failure or a short read gives the system's error or 122.
    bool ReadPart(uint64_t offset, uint8_t* buffer, uint32_t count, uint32_t& error);
};

}  // namespace tessary
