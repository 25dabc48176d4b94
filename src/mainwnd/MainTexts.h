#pragma once
// Texts the main window shows that need no window: the selection group, the status panes, the
// legend tooltip, the header notes and the LAPD detail line of the context menu.
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/MessageRecord.h"
#include "logfile/CLogFileRead.h"

namespace tessary {

// The time of a record's text: after "TM=" up to the first blank that follows the first ':'
// after it; else from "Warning=" (included) up to the next blank; else empty.
std::u16string_view SelectionTimeText(std::u16string_view text);
// The index number "%07u" of the selection group.
std::u16string IndexNumberText(uint32_t id);

// Pane 1: the line number digit-grouped, right-aligned to 13 characters.
std::u16string LinePaneText(int32_t lineNumber);
// Pane 2: " %02u %05u" of Id / 100000 and Id mod 100000.
std::u16string IdPaneText(uint32_t id);
// Pane 3: " %u/%02u/%02u" of base time + ms; empty without base time or when not a date.
std::u16string DatePaneText(int64_t baseTicks, int64_t timeMs);
// Pane 4: "警告数=%u".
std::u16string WarningCountText(uint32_t count);

// The header note of a loaded log (ring without end date/time, ring without time count, linear
// without data length), or empty.
std::u16string_view HeaderNote(const CLogFileRead& reader);
// Appends the note to pane 4's text, after a ',' when the text is not empty; false (text
// unchanged) when there is none.
bool AppendHeaderNotes(std::u16string& pane, const CLogFileRead& reader);

// The legend with a line feed before every two-digit code that precedes a '=', and one more
// before the first, so that the heading stands alone above an empty line.
std::u16string LegendTooltipText(std::u16string_view legend);

// The LAPD detail line (TEI and the frame's sequence numbers) of a layer-2/3 record that is
// neither a warning nor an error, read from its first hex row; empty when there is none.
std::u16string LapdDetailText(const MessageRecord& record);

}  // namespace tessary
