#pragma once
// The INS log file format: file header, extended header and record header, little-endian.
#include <cstdint>

#include "platform/Calendar.h"

namespace tessary {

inline constexpr uint32_t kInsHeaderSize = 32;
inline constexpr uint32_t kInsExtHeaderSize = 32;  // the meaningful part of the extended header
inline constexpr uint32_t kRecordHeaderSize = 9;
inline constexpr uint32_t kMaxPayloadLength = 266;
inline constexpr uint32_t kRecordBufferSize = 532;
inline constexpr uint32_t kReadCacheSize = 32768;
inline constexpr uint8_t kRecordMark = 0xFF;

inline constexpr uint8_t kDataKindAnalogSingle = 0;
inline constexpr uint8_t kDataKindInsSingle = 1;
inline constexpr uint8_t kDataKindAnalogBulk = 3;
inline constexpr uint8_t kDataKindIns64Bulk = 4;

inline constexpr int64_t kMinStartCorrection = -0x800000000LL;
inline constexpr int64_t kMaxStartCorrection = 0x7FFFFFFFFLL;

// Offsets 0x00-0x1F.
struct InsLogHeader {
    uint16_t startYear = 0;
    uint8_t startMonth = 0;
    uint8_t startDay = 0;
    uint8_t startHour = 0;
    uint8_t startMinute = 0;
    uint8_t startSecond = 0;
    uint8_t channelNumber = 0;
    uint32_t dataByteCount = 0;  // linear: valid data bytes (0: the rest); ring: head offset
    uint32_t loopCount = 0;      // 0: linear file
    uint8_t dataKind = 0;
    uint8_t traceType = 0;
    uint16_t boardKind = 0;  // BD_STS: low 4 bits 3 = INS-Net 1500
    uint32_t timeCountAtStart = 0;
    uint8_t extHeaderLength = 0;  // 0 or 32-255
    uint8_t correctionHigh = 0;   // low nibble: start correction bits 32-35; high: end value
    uint16_t startMilliseconds = 0;
    uint32_t startCorrectionLow = 0;
};

// Offsets 0x20-0x3F when present.
struct InsLogExtHeader {
    uint32_t endValueLow = 0;
    uint8_t reserved[28] = {};
};

struct InsRecordHeader {
    uint8_t mark = kRecordMark;
    uint8_t direction = 0;  // 'T', 'R', 't', 'r'
    uint8_t blockCode = 0;  // 0-9, the kind
    uint16_t payloadLength = 0;
    uint32_t timeCount = 0;
};

// Byte images, independent of the host's byte order.
InsLogHeader ParseInsLogHeader(const uint8_t (&bytes)[kInsHeaderSize]);
void SerializeInsLogHeader(const InsLogHeader& header, uint8_t (&bytes)[kInsHeaderSize]);
InsLogExtHeader ParseInsLogExtHeader(const uint8_t (&bytes)[kInsExtHeaderSize]);
void SerializeInsLogExtHeader(const InsLogExtHeader& ext, uint8_t (&bytes)[kInsExtHeaderSize]);
InsRecordHeader ParseRecordHeader(const uint8_t* bytes);  // 9 bytes
void SerializeRecordHeader(const InsRecordHeader& record, uint8_t* bytes);

// A 9-byte sequence opens a record exactly when this holds.
bool IsValidRecordHeader(const uint8_t* bytes);

// Signed 36-bit start correction in ms (sign from bit 35).
int64_t StartCorrectionOf(const InsLogHeader& header);
// Sets the low nibble of correctionHigh and startCorrectionLow; the high nibble stays.
void SetStartCorrection(InsLogHeader& header, int64_t correctionMs);
// Unsigned 36-bit end value in ms.
uint64_t EndValueOf(const InsLogHeader& header, const InsLogExtHeader& ext);
void SetEndValue(InsLogHeader& header, InsLogExtHeader& ext, uint64_t endValueMs);

// The start date/time fields of the header (offsets 0x00-0x06 and the milliseconds at 0x1A).
SystemTime StartDateTimeOf(const InsLogHeader& header);
// Sets those fields from `start` (the day of the week has no field).
void SetStartDateTime(InsLogHeader& header, const SystemTime& start);

bool IsIns1500Board(uint16_t boardKind);
bool IsDecodedDataKind(uint8_t dataKind);  // 1 or 4

// Display block of a record: 0 A, 1 B, 2 C, 3 D, -1 none ('R'/'r' with code 9, or invalid).
int BlockOfRecord(uint8_t direction, uint8_t blockCode);

}  // namespace tessary
