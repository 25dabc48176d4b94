#pragma once
// The call list as text rows: CSV with a header row, or one JSON object per call (JSON Lines),
// UTF-8 with LF line ends. Times are shown in the chosen date format of the record texts.
#include <cstdint>
#include <cstdio>
#include <string>

#include "calls/CallInfo.h"
#include "calls/CallTracker.h"
#include "decode/MessageRecord.h"

namespace tessary::calls {

enum class CallRowFormat { kCsv, kJsonl };

class CallRowWriter {
public:
    // `baseTime`: the log's base time (100 ns ticks); `dateMode` 0-3.
    CallRowWriter(CallRowFormat format, int64_t baseTime, unsigned dateMode)
        : m_format(format), m_baseTime(baseTime), m_dateMode(dateMode) {}

    // The header row (CSV only; empty for JSON Lines).
    std::string Header() const;
    std::string Row(const CallInfo& call) const;

    // Writes the header before the first row; false once a write has failed.
    bool Write(const CallInfo& call, std::FILE* out);
    // For a list without calls: the CSV header alone.
    bool Finish(std::FILE* out);

private:
    std::string TimeText(int64_t ms) const;

    CallRowFormat m_format;
    int64_t m_baseTime;
    unsigned m_dateMode;
    bool m_headerDone = false;
    bool m_ok = true;
};

// The rows of a log's calls as its records go by: each call is written once it is settled, so
// only the calls still going on are kept.
class CallRowStream {
public:
    CallRowStream(CallRowFormat format, int64_t baseTime, unsigned dateMode, uint8_t line,
                  std::FILE* out);

    void Add(const MessageRecord& record) { m_tracker.Add(record); }
    // Writes the calls still held; false when a write failed.
    bool Finish();

private:
    CallRowWriter m_writer;
    CallTracker m_tracker;
    std::FILE* m_out;
};

}  // namespace tessary::calls
