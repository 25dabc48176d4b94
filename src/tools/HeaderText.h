#pragma once
// The two texts of the header information window: the summary of the log loaded in the main
// window, and the field-by-field dump of any file's header. Lines end with CR LF.
#include <cstdint>
#include <string>

#include "platform/File.h"

namespace tessary {

class CInsFileRead;
class CTessaryCan;
class DisplayLineTable;
struct MessageRecord;

struct HeaderTextResult {
    // 0 the text is built; 1 the file cannot be opened or read (the text says why, as the
    // window shows it); -1 out of memory (the text is empty: show the window's message).
    int32_t status = 0;
    std::u16string text;
};

// The header dump of the file at `path`; it need not be a valid log.
HeaderTextResult BuildHeaderDump(const PathString& path);

// The dump's text for a file that cannot be opened, by Windows error.
std::u16string HeaderDumpOpenFailure(uint32_t error);

// What the summary needs from the display: the message records of the first and the last
// display line that have one (FirstLastLine), and whether the line store holds any record.
struct SummaryRecords {
    bool storeHasRecords = false;
    const MessageRecord* first = nullptr;
    const MessageRecord* last = nullptr;
};

// The summary of a loaded log. `optionByte` is the reader's option byte (its line selection
// names the line of a bulk file).
HeaderTextResult BuildSummary(const CInsFileRead& reader, uint8_t optionByte,
                              const SummaryRecords& records);

// The summary of a converted log with its own option byte and line store.
HeaderTextResult BuildSummary(CTessaryCan& converter);

// The first and last message records after the title record, as the main window's display
// table shows them with default settings (every record laid out).
SummaryRecords SummaryRecordsOf(const CTessaryCan& converter);

// The first and last message records as the display table `table` over `converter` shows
// them (the summary of the window that displays the log).
SummaryRecords SummaryRecordsOf(const CTessaryCan& converter, const DisplayLineTable& table);

}  // namespace tessary
