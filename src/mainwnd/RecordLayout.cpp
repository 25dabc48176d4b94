#include "mainwnd/RecordLayout.h"

#include "mainwnd/LayoutSteps.h"

#include <algorithm>

#include "decode/CanPara.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {
namespace {

bool IsFrameOrMessage(const MessageRecord& record) {
    return record.Layer == kLayerFrame || record.Layer == kLayerMessage;
}

bool IsDirectThrough(const MessageRecord& record) {
    return (record.Flags & kRecordDirectThrough) != 0;
}

// The column that also shows a direct-through record: C for block A, B for block D.
int MirrorColumn(int block) {
    return block == 0 ? 2 : block == 3 ? 1 : -1;
}

// A direct-through record sits beside the block it is copied to when records are compared.
int ComparedBlock(const MessageRecord& record) {
    const int mirror = MirrorColumn(record.Block);
    return IsDirectThrough(record) && mirror >= 0 ? mirror : record.Block;
}

bool NeedsSeparator(const MessageRecord& previous, const MessageRecord& record) {
    int a = previous.Block;
    int b = record.Block;
    if (a != b) {
        a = ComparedBlock(previous);
        b = ComparedBlock(record);
    }
    return a == b && (IsFrameOrMessage(previous) || IsFrameOrMessage(record));
}

}  // namespace

int32_t LayoutRecord(CTessaryCan* converter, MessageRecord* record, void* user) {
    auto* table = static_cast<DisplayLineTable*>(user);
    if (table == nullptr || converter == nullptr || record == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return -1;
    }
    const CanPara* para = converter->Para();
    const int slot = para != nullptr && (para->Flag[1] & kFlag1SecondRowSlot) != 0 ? 1 : 0;
    record->RowSlot[slot] = -1;
    const MessageRecord* previous =
        table->LineCount() >= 2 ? table->RecordOf(table->Line(table->LineCount() - 1)) : nullptr;

    bool hidden = false;
    const int colorClass = LayoutClassOf(*record, para, table->LineCount() == 0, hidden);
    if (hidden) {
        return kLayoutGoOn;
    }

    if (record->Block < kPartCount) {
        converter->FormatTime(record);
        if (previous != nullptr && NeedsSeparator(*previous, *record) &&
            !AppendSeparatorLine(*table, converter)) {
            return kLayoutOutOfMemory;
        }
        const int32_t first = table->LineCount();
        const size_t length = converter->TextLengthOf(record);
        if (table->AddLines(converter, record->Text(), length, record->Block, colorClass) == 0) {
            return kLayoutOutOfMemory;
        }
        SetRowGroup(*table, first, *record);
        record->RowSlot[slot] = first;
        if (IsDirectThrough(*record)) {
            const int mirror = MirrorColumn(record->Block);
            for (int32_t n = first; n < table->LineCount(); ++n) {
                DisplayLine* line = table->Line(n);
                if (mirror >= 0) {
                    line->parts[mirror] = line->parts[record->Block];
                }
                if (n > first) {
                    line->colorClass = kClassWarning;
                }
            }
        }
        return kLayoutGoOn;
    }

    record->Block = kNoBlock;
    if (previous != nullptr && PreviousShowsRows(table->Line(previous->RowSlot[slot]), *previous) &&
        !AppendSeparatorLine(*table, converter)) {
        return kLayoutOutOfMemory;
    }
    const int32_t first = table->LineCount();
    if (table->AddLines(converter, record->Text(), 0, kNoBlock, colorClass) == 0) {
        return kLayoutOutOfMemory;
    }
    SetRowGroup(*table, first, *record);
    record->RowSlot[slot] = first;
    return kLayoutGoOn;
}

}  // namespace tessary
