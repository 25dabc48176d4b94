#include "logfile/InsLogFormat.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/LogBytes.h"

namespace tessary {
namespace {

TEST(InsLogFormat, HeaderBytesRoundTripAtTheirOffsets) {
    InsLogHeader h = test::DefaultHeader();
    h.dataByteCount = 0x11223344;
    h.loopCount = 0x55667788;
    h.dataKind = 4;
    h.traceType = 0x99;
    h.boardKind = 0xA1B3;
    h.timeCountAtStart = 0xCAFEBABE;
    h.extHeaderLength = 40;
    h.correctionHigh = 0x5A;
    h.startCorrectionLow = 0xDEADBEEF;
    std::vector<uint8_t> expected = test::HeaderBytes(h);

    uint8_t bytes[kInsHeaderSize] = {};
    SerializeInsLogHeader(h, bytes);
    EXPECT_EQ(0, std::memcmp(bytes, expected.data(), kInsHeaderSize));
    EXPECT_EQ(bytes[0x00], 2024 & 0xFF);
    EXPECT_EQ(bytes[0x01], 2024 >> 8);
    EXPECT_EQ(bytes[0x08], 0x44);
    EXPECT_EQ(bytes[0x1A], 789 & 0xFF);

    InsLogHeader back = ParseInsLogHeader(bytes);
    uint8_t again[kInsHeaderSize] = {};
    SerializeInsLogHeader(back, again);
    EXPECT_EQ(0, std::memcmp(bytes, again, kInsHeaderSize));
    EXPECT_EQ(back.boardKind, 0xA1B3);
    EXPECT_EQ(back.startMilliseconds, 789);
}

TEST(InsLogFormat, ExtHeaderAndRecordHeaderLayouts) {
    uint8_t ext[kInsExtHeaderSize];
    for (uint32_t i = 0; i < kInsExtHeaderSize; ++i) {
        ext[i] = static_cast<uint8_t>(i + 1);
    }
    InsLogExtHeader e = ParseInsLogExtHeader(ext);
    EXPECT_EQ(e.endValueLow, 0x04030201u);
    EXPECT_EQ(e.reserved[0], 5);
    EXPECT_EQ(e.reserved[27], 32);
    uint8_t out[kInsExtHeaderSize] = {};
    SerializeInsLogExtHeader(e, out);
    EXPECT_EQ(0, std::memcmp(ext, out, sizeof(ext)));

    const uint8_t rec[9] = {0xFF, 'r', 7, 0x0A, 0x01, 0x78, 0x56, 0x34, 0x12};
    InsRecordHeader r = ParseRecordHeader(rec);
    EXPECT_EQ(r.direction, 'r');
    EXPECT_EQ(r.blockCode, 7);
    EXPECT_EQ(r.payloadLength, 0x10A);
    EXPECT_EQ(r.timeCount, 0x12345678u);
    uint8_t recOut[9] = {};
    SerializeRecordHeader(r, recOut);
    EXPECT_EQ(0, std::memcmp(rec, recOut, 9));
}

TEST(InsLogFormat, RecordHeaderValidity) {
    uint8_t b[9] = {0xFF, 'T', 9, 0x0A, 0x01, 0, 0, 0, 0};
    EXPECT_TRUE(IsValidRecordHeader(b));  // kind 9, length 266: the limits
    for (uint8_t letter : {'T', 'R', 't', 'r'}) {
        b[1] = letter;
        EXPECT_TRUE(IsValidRecordHeader(b)) << letter;
    }
    for (int letter : {int{'S'}, int{'U'}, int{'x'}, 0x00, 0xFF}) {
        b[1] = static_cast<uint8_t>(letter);
        EXPECT_FALSE(IsValidRecordHeader(b)) << letter;
    }
    b[1] = 'R';
    b[2] = 10;
    EXPECT_FALSE(IsValidRecordHeader(b));
    b[2] = 0;
    b[3] = 0x0B;  // 267
    EXPECT_FALSE(IsValidRecordHeader(b));
    b[3] = 0;
    b[0] = 0xFE;
    EXPECT_FALSE(IsValidRecordHeader(b));
}

TEST(InsLogFormat, StartCorrectionIsSigned36Bit) {
    InsLogHeader h{};
    h.correctionHigh = 0x0F;
    h.startCorrectionLow = 0xFFFFFFFF;
    EXPECT_EQ(StartCorrectionOf(h), -1);
    h.correctionHigh = 0x08;
    h.startCorrectionLow = 0;
    EXPECT_EQ(StartCorrectionOf(h), kMinStartCorrection);
    h.correctionHigh = 0xF7;  // the end value's nibble does not count
    h.startCorrectionLow = 0xFFFFFFFF;
    EXPECT_EQ(StartCorrectionOf(h), kMaxStartCorrection);

    for (int64_t v : {int64_t{0}, int64_t{-1}, int64_t{1}, int64_t{-86400000}, kMinStartCorrection,
                      kMaxStartCorrection, int64_t{0x123456789}}) {
        InsLogHeader w{};
        w.correctionHigh = 0xA0;
        SetStartCorrection(w, v);
        EXPECT_EQ(StartCorrectionOf(w), v);
        EXPECT_EQ(w.correctionHigh & 0xF0, 0xA0) << "end value nibble untouched";
    }
}

TEST(InsLogFormat, EndValueKeepsTheStartNibble) {
    InsLogHeader h{};
    InsLogExtHeader e{};
    h.correctionHigh = 0x0C;
    SetEndValue(h, e, 0xF87654321ULL);
    EXPECT_EQ(h.correctionHigh, 0xFC);
    EXPECT_EQ(e.endValueLow, 0x87654321u);
    EXPECT_EQ(EndValueOf(h, e), 0xF87654321ULL);
    EXPECT_EQ(StartCorrectionOf(h), 0xC00000000LL - 0x1000000000LL);
}

TEST(InsLogFormat, BoardKindDataKindAndBlocks) {
    EXPECT_TRUE(IsIns1500Board(0x0003));
    EXPECT_TRUE(IsIns1500Board(0xFFF3));
    EXPECT_FALSE(IsIns1500Board(0x0013 + 1));
    EXPECT_FALSE(IsIns1500Board(0x0001));
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(IsDecodedDataKind(static_cast<uint8_t>(k)), k == 1 || k == 4) << k;
    }
    EXPECT_EQ(BlockOfRecord('T', 0), 2);
    EXPECT_EQ(BlockOfRecord('t', 0), 2);
    EXPECT_EQ(BlockOfRecord('T', 1), 0);
    EXPECT_EQ(BlockOfRecord('t', 9), 0);
    EXPECT_EQ(BlockOfRecord('R', 0), 1);
    EXPECT_EQ(BlockOfRecord('r', 0), 1);
    EXPECT_EQ(BlockOfRecord('R', 1), 3);
    EXPECT_EQ(BlockOfRecord('r', 8), 3);
    EXPECT_EQ(BlockOfRecord('R', 9), -1);
    EXPECT_EQ(BlockOfRecord('r', 9), -1);
    EXPECT_EQ(BlockOfRecord('T', 10), -1);
    EXPECT_EQ(BlockOfRecord('X', 0), -1);
}

}  // namespace
}  // namespace tessary
