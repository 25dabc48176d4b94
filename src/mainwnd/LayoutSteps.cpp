#include "mainwnd/LayoutSteps.h"

#include <algorithm>

#include "decode/CanPara.h"
#include "mainwnd/RecordLayout.h"

namespace tessary {
namespace {

constexpr int32_t kRrCode = 1;

}  // namespace

int LayoutClassOf(const MessageRecord& record, const CanPara* para, bool tableEmpty, bool& hidden) {
    hidden = false;
    int colorClass =
        (record.Flags & (kRecordWarning | kRecordError)) != 0 || record.Layer == kLayerStatus
            ? kClassWarning
            : kClassNormal;
    if (record.Layer == kLayerFrame) {
        if (record.Code == kRrCode) {
            if (para != nullptr && (para->Flag[1] & kFlag1HideRr) != 0) {
                hidden = true;
            }
            colorClass = kClassRr;
        }
    } else if (record.Layer == kLayerMessage) {
        colorClass = -kClassMessageFirstRow;
    } else if (tableEmpty) {
        colorClass = kClassTitle;
    }
    return colorClass;
}

bool PreviousShowsRows(const DisplayLine* previousFirst, const MessageRecord& previous) {
    if (previousFirst == nullptr) {
        return false;
    }
    for (int b = 0; b < kPartCount; ++b) {
        if (previousFirst->parts[b].count > 0 && RowOf(previous.TextView(), b).length > 0) {
            return true;
        }
    }
    return false;
}

bool AppendSeparatorLine(DisplayLineTable& table, CTessaryCan* converter) {
    if (table.AddLines(converter, nullptr, 0, kNoBlock, kClassNormal) == 0) {
        return false;
    }
    table.Line(table.LineCount() - 1)->groupSize = 1;
    return true;
}

void SetRowGroup(DisplayLineTable& table, int32_t first, const MessageRecord& record) {
    const int32_t count = table.LineCount() - first;
    const auto size = static_cast<uint16_t>(std::min<int32_t>(count, 0xFFFF));
    for (int32_t i = 0; i < count; ++i) {
        DisplayLine* line = table.Line(first + i);
        line->groupOffset = static_cast<uint16_t>(std::min<int32_t>(i, 0xFFFF));
        line->groupSize = size;
        line->recordIndex = static_cast<int32_t>(record.Index);
    }
}

}  // namespace tessary
