#pragma once
// The conversion of a log as a stream: each record is converted, handed to a consumer (which
// lays it out and writes it) and forgotten, so that memory stays flat however large the log.
// A check pass first reads the record headers alone: a stream must not write half an output
// for a log whose conversion fails, and a ring file whose base time comes from its end time
// needs the sum of its record times before its first record can be shown.
#include <cstdint>
#include <memory>
#include <string>

#include "decode/CTessaryCan.h"
#include "mainwnd/OpenFlow.h"

namespace tessary::cli {

// What the check pass found. `streamable` false: the log does not open, is not an INS log, or
// its conversion would fail or show nothing; the caller takes the table path, which says why.
struct LogCheck {
    bool streamable = false;
    uint8_t lineBits = 0;  // the line selection of flag byte 0 (INS64 bulk logs)
    int64_t elapsed = 0;   // the sum of the record times (the base of a two-pass ring)
};

// `line`: 1 or 2 (INS64 bulk logs; with `everyKind` for logs of every data kind, as the pcapng
// export selects it). `optionByte`: flag byte 0 of the settings.
LogCheck CheckLog(const std::string& path, int line, uint8_t optionByte, bool everyKind = false);

// Takes the records of a stream in file order, on the pass's worker thread.
class RecordConsumer {
public:
    virtual ~RecordConsumer() = default;
    // 0 to 0x200 go on; anything else ends the pass with that status.
    virtual int32_t Consume(CTessaryCan& converter, MessageRecord& record) = 0;
    // The records the consumer still reads once Consume has returned: from `keepFrom` on, and
    // `pin` (kNoRecordIndex for none).
    virtual void RecordsInUse(const CTessaryCan& converter, uint32_t& keepFrom, uint32_t& pin) = 0;
    // The store has dropped the other records and moved the kept ones.
    virtual void Forgotten(const StoreMove& move) = 0;
};

class RecordStream {
public:
    // `para` (with the line bits of the check applied) must outlive the stream.
    RecordStream(const std::string& path, CanPara* para, const LogCheck& check);
    ~RecordStream();
    RecordStream(const RecordStream&) = delete;
    RecordStream& operator=(const RecordStream&) = delete;

    // Runs one pass under `progress`; returns the pass status (kStatusDone, the status a
    // consumer ended it with, or a failure). The converter keeps the reader's error.
    int32_t Run(RecordConsumer& consumer, SyncPassProgress& progress);
    CTessaryCan& Converter() { return *m_converter; }

private:
    static int32_t OnRecord(CTessaryCan* converter, MessageRecord* record, void* user);

    std::unique_ptr<CTessaryCan> m_converter;
    RecordConsumer* m_consumer = nullptr;
    bool m_ready = false;
};

}  // namespace tessary::cli
