#include "logfile/CLogFileRead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "logfile/CInsFileRead.h"
#include "platform/FaultInjection.h"
#include "platform/WinError.h"
#include "support/LogBytes.h"
#include "support/TempDir.h"

namespace tessary {
namespace {

using test::DefaultHeader;
using test::LogBytes;

class LogFileRead : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }
    std::string Write(const std::vector<uint8_t>& bytes, const char* name = "log.dat") {
        std::string path = dir.File(name);
        test::WriteBytes(path, bytes);
        return path;
    }
    std::string Write(const LogBytes& log, const char* name = "log.dat") {
        return Write(log.Bytes(), name);
    }

    test::TempDir dir;
};

void ExpectReleased(const CLogFileRead& r) {
    EXPECT_FALSE(r.IsUsable());
    EXPECT_FALSE(r.IsFileOpen());
    EXPECT_TRUE(r.Path().empty());
    EXPECT_EQ(r.FileOffsetOf(0), 0xFFFFFFFFu);
}

TEST_F(LogFileRead, OpenFailuresAndTheirErrors) {
    CLogFileRead empty("");
    EXPECT_EQ(empty.OpenStatus(), kOpenBadArgument);
    EXPECT_EQ(empty.LastError(), kErrorInvalidParameter);

    CLogFileRead missing(dir.File("none.dat"));
    EXPECT_EQ(missing.OpenStatus(), kOpenFailed);
    EXPECT_EQ(missing.LastError(), kErrorFileNotFound);
    ExpectReleased(missing);

    CLogFileRead noFolder(dir.File("none/log.dat"));
    EXPECT_EQ(noFolder.OpenStatus(), kOpenFailed);
    EXPECT_EQ(noFolder.LastError(), kErrorPathNotFound);

    CLogFileRead folder(dir.Path());
    EXPECT_EQ(folder.OpenStatus(), kOpenFailed);
    EXPECT_EQ(folder.LastError(), kErrorAccessDenied);
}

TEST_F(LogFileRead, FormatErrorsInValidationOrder) {
    auto formatError = [&](const std::vector<uint8_t>& bytes) {
        CLogFileRead r(Write(bytes));
        EXPECT_EQ(r.OpenStatus(), kOpenFormatError);
        EXPECT_EQ(r.LastError(), kErrorInvalidFunction);
        ExpectReleased(r);
    };
    std::vector<uint8_t> good = LogBytes().Bytes();
    formatError(std::vector<uint8_t>(good.begin(), good.begin() + 31));
    formatError({});

    InsLogHeader h = DefaultHeader();
    h.startMonth = 13;
    formatError(LogBytes(h).Bytes());
    h = DefaultHeader();
    h.startMonth = 2;
    h.startDay = 30;
    formatError(LogBytes(h).Bytes());
    h = DefaultHeader();
    h.startMilliseconds = 1000;
    formatError(LogBytes(h).Bytes());
    h = DefaultHeader();
    h.startYear = 1600;
    formatError(LogBytes(h).Bytes());
    h = DefaultHeader();
    h.startHour = 24;
    formatError(LogBytes(h).Bytes());

    // The date is checked before the extended header is read.
    h = DefaultHeader();
    h.startSecond = 60;
    fault::FailNthRead(2);
    formatError(LogBytes(h).ExtHeader(32, 0).Bytes());
    fault::Reset();

    // The corrected start must be a date too: 1601-01-01 minus one day is not.
    h = DefaultHeader();
    h.startYear = 1601;
    h.startMonth = 1;
    h.startDay = 1;
    SetStartCorrection(h, -86400000);
    formatError(LogBytes(h).Bytes());
    SetStartCorrection(h, 86400000);
    CLogFileRead ok(Write(LogBytes(h).Bytes()));
    EXPECT_EQ(ok.OpenStatus(), kOpenOk);
}

TEST_F(LogFileRead, ExtendedHeaderLengths) {
    for (uint8_t length = 1; length < 32; ++length) {
        InsLogHeader h = DefaultHeader();
        h.extHeaderLength = length;
        LogBytes log(h);
        log.Fill(0, 64);
        CLogFileRead r(Write(log));
        EXPECT_EQ(r.OpenStatus(), kOpenFormatError) << int{length};
    }
    // Longer than the file.
    {
        LogBytes log;
        log.ExtHeader(40, 0);
        std::vector<uint8_t> bytes = log.Bytes();
        bytes.resize(32 + 39);
        CLogFileRead r(Write(bytes));
        EXPECT_EQ(r.OpenStatus(), kOpenFormatError);
    }
    for (uint8_t length : {uint8_t{32}, uint8_t{40}, uint8_t{255}}) {
        LogBytes log;
        log.ExtHeader(length, 1234).Raw({0xAB, 0xCD}).FixDataByteCount();
        CLogFileRead r(Write(log));
        ASSERT_EQ(r.OpenStatus(), kOpenOk) << int{length};
        EXPECT_EQ(r.HeaderSize(), 32u + length);
        EXPECT_EQ(r.DataSize(), 2u);
        EXPECT_EQ(r.ExtHeader().endValueLow, 1234u);
        EXPECT_EQ(r.EndTime(), r.StartTime() + 1234 * kTicksPerMs);
        uint8_t b[2] = {};
        EXPECT_EQ(r.ReadAt(b, 0, 2), 2u) << "the bytes after the first 32 are skipped";
        EXPECT_EQ(b[0], 0xAB);
        EXPECT_EQ(b[1], 0xCD);
        EXPECT_EQ(r.FileOffsetOf(0), 32u + length);
    }
    // Without an extended header there is no end time.
    CLogFileRead plain(Write(LogBytes().Raw({1}).FixDataByteCount()));
    EXPECT_EQ(plain.EndTime(), 0);
}

TEST_F(LogFileRead, EmptyLogAndLinearCounts) {
    CLogFileRead empty(Write(LogBytes()));
    EXPECT_EQ(empty.OpenStatus(), kOpenOk);
    EXPECT_EQ(empty.DataSize(), 0u);
    EXPECT_EQ(empty.FileSize(), 32u);
    EXPECT_TRUE(empty.IsUsable());
    uint8_t b[4];
    EXPECT_EQ(empty.ReadAt(b, 0, 4), 0u);

    // Each reader keeps its file open, and Windows lets no one replace an open file: one name
    // per reader.
    CLogFileRead countButNoData(Write(LogBytes().SetDataByteCount(1), "count.dat"));
    EXPECT_EQ(countButNoData.OpenStatus(), kOpenFormatError);

    LogBytes longer;
    longer.Raw({1, 2, 3, 4}).SetDataByteCount(5);
    CLogFileRead tooLarge(Write(longer, "longer.dat"));
    EXPECT_EQ(tooLarge.OpenStatus(), kOpenFormatError);

    LogBytes shorter;
    shorter.Raw({1, 2, 3, 4, 5, 6}).SetDataByteCount(4);
    CLogFileRead r(Write(shorter, "shorter.dat"));
    ASSERT_EQ(r.OpenStatus(), kOpenOk);
    EXPECT_EQ(r.DataSize(), 4u);
    uint8_t out[8] = {};
    EXPECT_EQ(r.ReadAt(out, 2, 8), 2u) << "clamped to the data";
    EXPECT_EQ(out[1], 4);
    EXPECT_EQ(r.ReadAt(out, 4, 1), 0u);
    EXPECT_EQ(r.ReadAt(out, 0, 0), 0u);
    EXPECT_EQ(r.FileOffsetOf(3), 35u);
    EXPECT_EQ(r.FileOffsetOf(4), 0xFFFFFFFFu);

    LogBytes rest;
    rest.Raw({9, 8, 7});
    CLogFileRead whole(Write(rest, "rest.dat"));
    EXPECT_EQ(whole.DataSize(), 3u) << "count 0: the rest of the file";
}

// A ring of `ringSize` bytes whose data position i holds (i * 7 + 3) & 0xFF, oldest at `head`.
std::vector<uint8_t> RingFile(uint32_t ringSize, uint32_t head) {
    InsLogHeader h = DefaultHeader();
    h.loopCount = 2;
    h.dataByteCount = head;
    std::vector<uint8_t> stream(ringSize);
    for (uint32_t i = 0; i < ringSize; ++i) {
        stream[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    LogBytes log(h);
    std::vector<uint8_t> rotated(ringSize);
    for (uint32_t i = 0; i < ringSize; ++i) {
        rotated[(head + i) % ringSize] = stream[i];
    }
    log.Raw(rotated);
    return log.Bytes();
}

TEST_F(LogFileRead, RingMappingAndFillSplitAtTheEndOfTheFile) {
    const uint32_t ringSize = 40000;
    const uint32_t head = 30000;  // the first fill crosses the end of the file after 10000 bytes
    CLogFileRead r(Write(RingFile(ringSize, head)));
    ASSERT_EQ(r.OpenStatus(), kOpenOk);
    EXPECT_TRUE(r.IsRing());
    EXPECT_EQ(r.DataSize(), ringSize);
    EXPECT_EQ(r.DataOrigin(), 32u + head);
    EXPECT_EQ(r.FileOffsetOf(0), 32u + head);
    EXPECT_EQ(r.FileOffsetOf(ringSize - head - 1), 32u + ringSize - 1);
    EXPECT_EQ(r.FileOffsetOf(ringSize - head), 32u);
    EXPECT_EQ(r.FileOffsetOf(ringSize - 1), 32u + head - 1);

    std::vector<uint8_t> all(ringSize + 10);
    EXPECT_EQ(r.ReadAt(all.data(), 0, ringSize + 10), ringSize);
    for (uint32_t i = 0; i < ringSize; ++i) {
        ASSERT_EQ(all[i], static_cast<uint8_t>(i * 7 + 3)) << i;
    }
    // Reads in the middle of the wrap, in small pieces, from a cold start.
    CLogFileRead r2(Write(RingFile(ringSize, head), "b.dat"));
    for (uint32_t p = 9990; p < 10010; ++p) {
        uint8_t b[3] = {};
        ASSERT_EQ(r2.ReadAt(b, p, 3), 3u);
        EXPECT_EQ(b[2], static_cast<uint8_t>((p + 2) * 7 + 3));
    }
    ASSERT_TRUE(r2.FillCache(ringSize - 5));
    uint8_t tail[5];
    EXPECT_EQ(r2.ReadAt(tail, ringSize - 5, 5), 5u);
    EXPECT_EQ(tail[4], static_cast<uint8_t>((ringSize - 1) * 7 + 3));
}

TEST_F(LogFileRead, RingHeadOffsetOutsideTheRingIsRejected) {
    std::vector<uint8_t> bytes = RingFile(100, 0);
    bytes[0x08] = 100;  // head offset == ring size
    CLogFileRead r(Write(bytes));
    EXPECT_EQ(r.OpenStatus(), kOpenFormatError);
    EXPECT_EQ(r.LastError(), kErrorInvalidFunction);
    bytes[0x08] = 99;
    CLogFileRead ok(Write(bytes, "b.dat"));
    EXPECT_EQ(ok.OpenStatus(), kOpenOk);
}

TEST_F(LogFileRead, CorrectionAndBaseTime) {
    InsLogHeader h = DefaultHeader();
    h.correctionHigh = 0x0F;
    h.startCorrectionLow = 0xFFFFFFFF;
    CLogFileRead r(Write(LogBytes(h)));
    ASSERT_EQ(r.OpenStatus(), kOpenOk);
    EXPECT_EQ(r.StartCorrection(), -1);
    EXPECT_EQ(r.BaseTime(), r.StartTime() - kTicksPerMs);
    EXPECT_EQ(r.BaseCalendar().second, 56);
    EXPECT_EQ(r.BaseCalendar().milliseconds, 788);
    EXPECT_EQ(r.CorrectionState(), 0);

    EXPECT_TRUE(r.SetBaseTime(211));
    EXPECT_EQ(r.BaseCalendar().second, 57);
    EXPECT_EQ(r.BaseCalendar().milliseconds, 0);
    const int64_t before = r.BaseTime();
    EXPECT_FALSE(r.SetBaseTime(INT64_MIN / 2));
    EXPECT_FALSE(r.SetBaseTime(-r.StartTime() / kTicksPerMs - 1));
    EXPECT_EQ(r.BaseTime(), before);
}

TEST_F(LogFileRead, CorrectionStates) {
    auto state = [&](uint32_t loops, int64_t correction, int extEndMs, uint16_t board) {
        InsLogHeader h = DefaultHeader();
        h.loopCount = loops;
        h.boardKind = board;
        SetStartCorrection(h, correction);
        LogBytes log(h);
        if (extEndMs >= 0) {
            log.ExtHeader(32, static_cast<uint32_t>(extEndMs));
        }
        log.Fill(0, 16);
        CLogFileRead r(Write(log));
        EXPECT_EQ(r.OpenStatus(), kOpenOk);
        return r.CorrectionState();
    };
    const int thirteenDays = 13 * 86400000;
    EXPECT_EQ(state(0, 0, -1, 1), 0);
    EXPECT_EQ(state(0, 0, thirteenDays, 1), 0);
    EXPECT_EQ(state(1, 5, thirteenDays, 1), 0);
    EXPECT_EQ(state(1, 0, thirteenDays, 1), 1);
    EXPECT_EQ(state(1, 0, 0x3FFFFFFF, 1), 1);
    EXPECT_EQ(state(1, 0, 0x3FFFFFFE, 1), -1);
    EXPECT_EQ(state(1, 0, thirteenDays, 3), -1) << "INS-Net 1500: range 2^32 - 1";
    EXPECT_EQ(state(1, 0, 0, 1), -1);
    EXPECT_EQ(state(1, 0, -1, 1), -1);
}

TEST_F(LogFileRead, ReadFailuresAtOpen) {
    std::string path = Write(LogBytes().Raw({1, 2, 3}).FixDataByteCount());
    fault::FailNthRead(1);
    CLogFileRead failed(path);
    EXPECT_EQ(failed.OpenStatus(), kOpenReadError);
    EXPECT_EQ(failed.LastError(), kErrorReadFault);
    ExpectReleased(failed);

    fault::FailNthRead(1, true);
    CLogFileRead shortRead(path);
    EXPECT_EQ(shortRead.OpenStatus(), kOpenReadError);
    EXPECT_EQ(shortRead.LastError(), kErrorInsufficientBuffer);

    std::string extPath = Write(LogBytes().ExtHeader(32, 0).Raw({1}).Bytes(), "ext.dat");
    fault::FailNthRead(2);
    CLogFileRead extFailed(extPath);
    EXPECT_EQ(extFailed.OpenStatus(), kOpenReadError);
    EXPECT_EQ(extFailed.LastError(), kErrorReadFault);
}

TEST_F(LogFileRead, AReadFailureMakesTheReaderUnusable) {
    CLogFileRead r(Write(RingFile(40000, 30000)));
    ASSERT_EQ(r.OpenStatus(), kOpenOk);
    fault::FailNthRead(2);  // the second half of the split fill
    uint8_t b[4];
    EXPECT_EQ(r.ReadAt(b, 0, 4), 0u);
    EXPECT_EQ(r.OpenStatus(), kOpenReadError);
    EXPECT_EQ(r.LastError(), kErrorReadFault);
    EXPECT_FALSE(r.IsUsable());
    fault::Reset();
    EXPECT_EQ(r.ReadAt(b, 0, 4), 0u) << "later reads fail at once";
    EXPECT_FALSE(r.FillCache(0));

    CLogFileRead s(Write(RingFile(100, 10), "s.dat"));
    fault::FailNthRead(1, true);
    EXPECT_FALSE(s.FillCache(0));
    EXPECT_EQ(s.LastError(), kErrorInsufficientBuffer);
}

TEST_F(LogFileRead, ClosedFileKeepsHeadersButReadsNothing) {
    CLogFileRead r(Write(LogBytes().Raw({1, 2, 3}).FixDataByteCount()));
    const int64_t base = r.BaseTime();
    r.CloseFile();
    EXPECT_FALSE(r.IsFileOpen());
    EXPECT_TRUE(r.IsUsable());
    EXPECT_EQ(r.BaseTime(), base);
    EXPECT_EQ(r.DataSize(), 3u);
    uint8_t b[3];
    EXPECT_EQ(r.ReadAt(b, 0, 3), 0u);
    EXPECT_EQ(r.OpenStatus(), kOpenOk);
}

// Random data and random header fields never make the reader read outside its buffers.
class RandomProbe : public CInsFileRead {
public:
    explicit RandomProbe(const PathString& path, uint8_t option)
        : CInsFileRead(path), m_option(option) {}
    ~RandomProbe() override { StopWorker(false); }
    uint8_t* OptionByte() override { return &m_option; }
    int32_t OnBegin(uint8_t*) override { return 0; }
    int32_t OnRecord(uint8_t* record, int32_t) override {
        EXPECT_TRUE(IsValidRecordHeader(record));
        const uint32_t end = RecordPosition() + 9 + ParseRecordHeader(record).payloadLength;
        EXPECT_LE(end, DataSize());
        EXPECT_GE(RecordPosition(), lastPosition);
        lastPosition = RecordPosition();
        ++records;
        return 0;
    }
    int records = 0;
    uint32_t lastPosition = 0;

private:
    uint8_t m_option;
};

TEST_F(LogFileRead, RandomBytesAfterAValidHeaderNeverCrash) {
    std::mt19937 rng(20240607);
    int walked = 0;
    for (int round = 0; round < 120; ++round) {
        InsLogHeader h = DefaultHeader();
        h.dataKind = (round % 2) ? kDataKindIns64Bulk : kDataKindInsSingle;
        // Pieces: noise, fill runs, record headers (some invalid, some cut by the end).
        std::vector<uint8_t> data;
        const size_t target = rng() % 3000;
        while (data.size() < target) {
            const uint32_t v = rng();
            switch (v % 4) {
                case 0:
                    for (uint32_t i = 0; i < v % 17; ++i) {
                        data.push_back(static_cast<uint8_t>(rng()));
                    }
                    break;
                case 1:
                    data.insert(data.end(), (v >> 8) % 9, 0xFF);
                    break;
                default: {
                    const uint8_t letters[] = {'T', 'R', 't', 'r', 'X'};
                    const uint32_t length = (v >> 8) % 280;
                    const uint8_t head[9] = {0xFF,
                                             letters[(v >> 20) % 5],
                                             static_cast<uint8_t>((v >> 24) % 11),
                                             static_cast<uint8_t>(length),
                                             static_cast<uint8_t>(length >> 8),
                                             static_cast<uint8_t>(rng()),
                                             static_cast<uint8_t>(rng()),
                                             static_cast<uint8_t>(rng()),
                                             static_cast<uint8_t>(rng())};
                    data.insert(data.end(), head, head + 9);
                    for (uint32_t i = 0; i < length; ++i) {
                        data.push_back(static_cast<uint8_t>(rng()));
                    }
                    break;
                }
            }
        }
        if (data.size() > target) {
            data.resize(target);
        }
        const size_t size = data.size();
        if (round % 3 == 0 && size > 0) {
            h.loopCount = 1;
            h.dataByteCount = static_cast<uint32_t>(rng() % size);
        }
        if (round % 5 == 0) {
            h.dataByteCount = static_cast<uint32_t>(rng() % (size + 1));
        }
        LogBytes log(h);
        if (round % 7 == 0) {
            log.ExtHeader(static_cast<uint8_t>(32 + rng() % 20), rng());
        }
        log.Raw(data);
        std::string path = Write(log);
        uint8_t option = static_cast<uint8_t>(rng() % 16);
        RandomProbe r(path, option);
        if (r.OpenStatus() != kOpenOk) {
            continue;
        }
        const int32_t start = r.StartConversion(nullptr, 0);
        EXPECT_TRUE(start == 0 || start == kStatusNoRecord || start == -1) << start;
        r.WaitForWalk();
        if (start == 0) {
            EXPECT_EQ(r.ConversionStatus(), kStatusDone);
            walked += r.records > 0 ? 1 : 0;
        }
        std::vector<uint8_t> out(r.DataSize() + 16);
        for (int k = 0; k < 20; ++k) {
            uint32_t p = static_cast<uint32_t>(rng() % (r.DataSize() + 20));
            uint32_t n = static_cast<uint32_t>(rng() % 600);
            if (n > out.size()) {
                n = static_cast<uint32_t>(out.size());
            }
            uint32_t got = r.ReadAt(out.data(), p, n);
            EXPECT_LE(got, n);
            if (p >= r.DataSize()) {
                EXPECT_EQ(got, 0u);
            } else {
                EXPECT_EQ(got, std::min(n, r.DataSize() - p));
            }
        }
    }
    EXPECT_GT(walked, 10) << "the rounds must reach the walk";
}

}  // namespace
}  // namespace tessary
