#pragma once
// The steps the main layout and the aggregation's selection share when they append a message
// record's lines to a display line table.
#include <cstdint>

#include "decode/CTessaryCan.h"
#include "display/DisplayLineTable.h"

namespace tessary {

// The colour class a record's lines get (negative: only the first line, the rest class 1);
// `hidden` tells that an RR record is not shown at all (the RR flag of flag byte 1).
int LayoutClassOf(const MessageRecord& record, const CanPara* para, bool tableEmpty, bool& hidden);
// Before a record without block: whether the previous record's first line shows text in a
// column for which that record's text has a row.
bool PreviousShowsRows(const DisplayLine* previousFirst, const MessageRecord& previous);
// An empty separator line (class 1); false when it cannot be appended.
bool AppendSeparatorLine(DisplayLineTable& table, CTessaryCan* converter);
// Gives the lines from `first` to the end their place in the record's row group and its Index.
void SetRowGroup(DisplayLineTable& table, int32_t first, const MessageRecord& record);

}  // namespace tessary
