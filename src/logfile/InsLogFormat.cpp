#include "logfile/InsLogFormat.h"

#include <cstddef>

#include "platform/TimeMath.h"

namespace tessary {

namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

bool IsDirectionLetter(uint8_t c) {
    return c == 'T' || c == 'R' || c == 't' || c == 'r';
}

}  // namespace

InsLogHeader ParseInsLogHeader(const uint8_t (&b)[kInsHeaderSize]) {
    InsLogHeader h;
    h.startYear = Get16(b + 0x00);
    h.startMonth = b[0x02];
    h.startDay = b[0x03];
    h.startHour = b[0x04];
    h.startMinute = b[0x05];
    h.startSecond = b[0x06];
    h.channelNumber = b[0x07];
    h.dataByteCount = Get32(b + 0x08);
    h.loopCount = Get32(b + 0x0C);
    h.dataKind = b[0x10];
    h.traceType = b[0x11];
    h.boardKind = Get16(b + 0x12);
    h.timeCountAtStart = Get32(b + 0x14);
    h.extHeaderLength = b[0x18];
    h.correctionHigh = b[0x19];
    h.startMilliseconds = Get16(b + 0x1A);
    h.startCorrectionLow = Get32(b + 0x1C);
    return h;
}

void SerializeInsLogHeader(const InsLogHeader& h, uint8_t (&b)[kInsHeaderSize]) {
    Put16(b + 0x00, h.startYear);
    b[0x02] = h.startMonth;
    b[0x03] = h.startDay;
    b[0x04] = h.startHour;
    b[0x05] = h.startMinute;
    b[0x06] = h.startSecond;
    b[0x07] = h.channelNumber;
    Put32(b + 0x08, h.dataByteCount);
    Put32(b + 0x0C, h.loopCount);
    b[0x10] = h.dataKind;
    b[0x11] = h.traceType;
    Put16(b + 0x12, h.boardKind);
    Put32(b + 0x14, h.timeCountAtStart);
    b[0x18] = h.extHeaderLength;
    b[0x19] = h.correctionHigh;
    Put16(b + 0x1A, h.startMilliseconds);
    Put32(b + 0x1C, h.startCorrectionLow);
}

InsLogExtHeader ParseInsLogExtHeader(const uint8_t (&b)[kInsExtHeaderSize]) {
    InsLogExtHeader ext;
    ext.endValueLow = Get32(b);
    for (size_t i = 0; i < sizeof(ext.reserved); ++i) {
        ext.reserved[i] = b[4 + i];
    }
    return ext;
}

void SerializeInsLogExtHeader(const InsLogExtHeader& ext, uint8_t (&b)[kInsExtHeaderSize]) {
    Put32(b, ext.endValueLow);
    for (size_t i = 0; i < sizeof(ext.reserved); ++i) {
        b[4 + i] = ext.reserved[i];
    }
}

InsRecordHeader ParseRecordHeader(const uint8_t* b) {
    InsRecordHeader r;
    r.mark = b[0];
    r.direction = b[1];
    r.blockCode = b[2];
    r.payloadLength = Get16(b + 3);
    r.timeCount = Get32(b + 5);
    return r;
}

void SerializeRecordHeader(const InsRecordHeader& r, uint8_t* b) {
    b[0] = r.mark;
    b[1] = r.direction;
    b[2] = r.blockCode;
    Put16(b + 3, r.payloadLength);
    Put32(b + 5, r.timeCount);
}

bool IsValidRecordHeader(const uint8_t* b) {
    return b[0] == kRecordMark && IsDirectionLetter(b[1]) && b[2] <= 9 &&
           Get16(b + 3) <= kMaxPayloadLength;
}

int64_t StartCorrectionOf(const InsLogHeader& h) {
    return SignExtend36((static_cast<uint64_t>(h.correctionHigh & 0x0F) << 32) |
                        h.startCorrectionLow);
}

void SetStartCorrection(InsLogHeader& h, int64_t correctionMs) {
    const uint64_t raw = Low36Bits(correctionMs);
    h.startCorrectionLow = static_cast<uint32_t>(raw);
    h.correctionHigh = static_cast<uint8_t>((h.correctionHigh & 0xF0) | (raw >> 32));
}

uint64_t EndValueOf(const InsLogHeader& h, const InsLogExtHeader& ext) {
    return (static_cast<uint64_t>(h.correctionHigh >> 4) << 32) | ext.endValueLow;
}

void SetEndValue(InsLogHeader& h, InsLogExtHeader& ext, uint64_t endValueMs) {
    uint64_t raw = endValueMs & k36BitMask;
    ext.endValueLow = static_cast<uint32_t>(raw);
    h.correctionHigh = static_cast<uint8_t>((h.correctionHigh & 0x0F) | ((raw >> 32) << 4));
}

SystemTime StartDateTimeOf(const InsLogHeader& header) {
    SystemTime start{};
    start.year = header.startYear;
    start.month = header.startMonth;
    start.day = header.startDay;
    start.hour = header.startHour;
    start.minute = header.startMinute;
    start.second = header.startSecond;
    start.milliseconds = header.startMilliseconds;
    return start;
}

void SetStartDateTime(InsLogHeader& header, const SystemTime& start) {
    header.startYear = start.year;
    header.startMonth = static_cast<uint8_t>(start.month);
    header.startDay = static_cast<uint8_t>(start.day);
    header.startHour = static_cast<uint8_t>(start.hour);
    header.startMinute = static_cast<uint8_t>(start.minute);
    header.startSecond = static_cast<uint8_t>(start.second);
    header.startMilliseconds = start.milliseconds;
}

bool IsIns1500Board(uint16_t boardKind) {
    return (boardKind & 0x0F) == 3;
}

bool IsDecodedDataKind(uint8_t dataKind) {
    return dataKind == kDataKindInsSingle || dataKind == kDataKindIns64Bulk;
}

int BlockOfRecord(uint8_t direction, uint8_t blockCode) {
    constexpr int kBlockA = 0, kBlockB = 1, kBlockC = 2, kBlockD = 3, kNoBlock = -1;
    if (blockCode > 9) {
        return kNoBlock;
    }
    switch (direction) {
        case 'T':
        case 't':
            return blockCode == 0 ? kBlockC : kBlockA;
        case 'R':
        case 'r':
            if (blockCode == 0) {
                return kBlockB;
            }
            return blockCode <= 8 ? kBlockD : kNoBlock;
        default:
            return kNoBlock;
    }
}

}  // namespace tessary
