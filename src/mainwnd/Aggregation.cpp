#include "mainwnd/Aggregation.h"

#include "mainwnd/LayoutSteps.h"

#include <algorithm>

#include "decode/SearchFind.h"
#include "logfile/Status.h"
#include "mainwnd/ConversionStarter.h"
#include "mainwnd/RecordLayout.h"
#include "platform/FormatText.h"
#include "platform/LastError.h"
#include "platform/WinError.h"

namespace tessary {
namespace {

constexpr int32_t kSetupCode = 5;
constexpr int kSecondSlot = 1;

bool Contains(std::u16string_view text, std::u16string_view word) {
    return !word.empty() && FindNoCase(text, word) != kNotFound;
}

bool HasBlock(const MessageRecord& record) {
    return record.Block < kBlockCount;
}

bool IsFrameOrMessage(const MessageRecord& record) {
    return record.Layer == kLayerFrame || record.Layer == kLayerMessage;
}

enum class Decision { kDrop, kTake, kStop };

Decision RelatedCallDecision(AggregationContext& context, const MessageRecord& record) {
    if (!HasBlock(record)) {
        return Decision::kTake;
    }
    if (record.Index < context.startIndex) {
        return Decision::kDrop;
    }
    const std::u16string_view text = record.TextView();
    const bool sameSide = (record.Block < 2) == (context.startBlock < 2);
    if (sameSide) {
        if (record.Layer != kLayerMessage ||
            (record.Flags & kRecordIncomingCall) != (context.startFlags & kRecordIncomingCall) ||
            record.CallRef != context.startCallRef) {
            return Decision::kDrop;
        }
        if (record.Code != kSetupCode || record.Index == context.startIndex ||
            Contains(text, context.channel)) {
            return Decision::kTake;
        }
        // The call reference is reused by a new call: this call has ended.
        context.callEnded = true;
        return Decision::kStop;
    }
    if (Contains(text, context.channel)) {
        if (record.Layer == kLayerMessage && record.Code == kSetupCode) {
            context.callRef = CallRefText(record);
        }
        return Decision::kTake;
    }
    if (!context.callRef.empty() && record.Layer == kLayerMessage &&
        Contains(text, context.callRef)) {
        return Decision::kTake;
    }
    return Decision::kDrop;
}

Decision SearchDecision(AggregationContext& context, const MessageRecord& record) {
    SearchCondition* search = context.search;
    if (search == nullptr) {
        return Decision::kDrop;
    }
    if (search->Mask() != 0 && (!HasBlock(record) || !search->AppliesToBlock(record.Block))) {
        return Decision::kDrop;
    }
    return search->Match(record.TextView()) == 0 ? Decision::kTake : Decision::kDrop;
}

}  // namespace

std::u16string CallRefText(const MessageRecord& record) {
    const std::u16string_view side =
        (record.Flags & kRecordIncomingCall) != 0 ? kCallRefIncoming : kCallRefOutgoing;
    return FormatText(kCallRefFormat, side, static_cast<unsigned>(record.CallRef))
        .substr(0, kAggregationTextMax);
}

std::u16string ChannelText(std::u16string_view text) {
    const size_t at = FindNoCase(text, u"CH=");
    if (at == kNotFound) {
        return {};
    }
    size_t end = at + 3;
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9') {
        ++end;
    }
    const size_t digits = end - (at + 3);
    if (digits == 0 || digits > kChannelDigitsMax) {
        return {};
    }
    return std::u16string(text.substr(at, end - at));
}

std::u16string CheckRelatedCallStart(const MessageRecord* record, RelatedCallStart& start) {
    start = RelatedCallStart{};
    if (record == nullptr || record->TextView().empty() || !HasBlock(*record) ||
        record->Layer != kLayerMessage || record->Code != kSetupCode) {
        return std::u16string(kNoSetupSelected);
    }
    std::u16string channel = ChannelText(record->TextView());
    if (channel.empty()) {
        return std::u16string(kNoChannelInSetup);
    }
    start.record = record;
    start.callRef = CallRefText(*record);
    start.channel = std::move(channel);
    start.pattern = FormatText(kRelatedCallPattern, start.callRef, start.channel);
    return {};
}

void AggregationContext::SetStart(const RelatedCallStart& start) {
    kind = AggregationKind::kRelatedCall;
    if (start.record != nullptr) {
        startIndex = start.record->Index;
        startBlock = start.record->Block;
        startFlags = start.record->Flags;
        startCallRef = start.record->CallRef;
    }
    channel = start.channel;
    callRef = start.callRef;
    callEnded = false;
}

int32_t SelectRecord(CTessaryCan* converter, MessageRecord* record, void* user) {
    auto* context = static_cast<AggregationContext*>(user);
    if (context == nullptr || context->table == nullptr || converter == nullptr ||
        record == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return -1;
    }
    DisplayLineTable& table = *context->table;
    record->RowSlot[kSecondSlot] = -1;
    if (table.LineCount() == 0 && context->mainTable != nullptr &&
        context->mainTable->TableCapacity() != 0 && context->mainTable->BufferCapacity() != 0) {
        // Sized like the main window's table rather than estimated again.
        table.PresetCapacities(context->mainTable->TableCapacity(),
                               context->mainTable->BufferCapacity());
    }
    bool hidden = false;
    const int colorClass =
        LayoutClassOf(*record, converter->Para(), table.LineCount() == 0, hidden);
    if (hidden) {
        return kLayoutGoOn;
    }

    Decision decision = Decision::kTake;
    if (record->Index != 0) {
        decision = context->kind == AggregationKind::kRelatedCall
                       ? RelatedCallDecision(*context, *record)
                       : SearchDecision(*context, *record);
    }
    if (decision == Decision::kStop) {
        return kStatusStopped;
    }
    if (decision == Decision::kDrop) {
        return kLayoutGoOn;
    }

    const MessageRecord* previous =
        table.LineCount() >= 2 ? table.RecordOf(table.Line(table.LineCount() - 1)) : nullptr;
    const DisplayLine* previousFirst =
        previous != nullptr ? table.Line(previous->RowSlot[kSecondSlot]) : nullptr;

    if (!HasBlock(*record)) {
        record->Block = kNoBlock;
        if (previous != nullptr && PreviousShowsRows(previousFirst, *previous) &&
            !AppendSeparatorLine(table, converter)) {
            return kLayoutOutOfMemory;
        }
        const int32_t first = table.LineCount();
        if (table.AddLines(converter, record->Text(), 0, kNoBlock, colorClass) == 0) {
            return kLayoutOutOfMemory;
        }
        SetRowGroup(table, first, *record);
        record->RowSlot[kSecondSlot] = first;
        return kLayoutGoOn;
    }

    converter->FormatTime(record);
    if (previous != nullptr) {
        int previousBlock = previous->Block;
        if (!HasBlock(*previous) && previousFirst != nullptr &&
            previousFirst->parts[record->Block].count > 0) {
            previousBlock = record->Block;
        }
        if (previousBlock == record->Block &&
            (IsFrameOrMessage(*previous) || IsFrameOrMessage(*record)) &&
            !AppendSeparatorLine(table, converter)) {
            return kLayoutOutOfMemory;
        }
    }
    const int32_t first = table.LineCount();
    if (table.AddLines(converter, record->Text(), record->TextView().size(), record->Block,
                       colorClass) == 0) {
        return kLayoutOutOfMemory;
    }
    SetRowGroup(table, first, *record);
    record->RowSlot[kSecondSlot] = first;
    return kLayoutGoOn;
}

std::u16string AggregationWindowTitle(AggregationKind kind, std::u16string_view caption,
                                      std::u16string_view searchText,
                                      const RelatedCallStart* start) {
    if (kind == AggregationKind::kRelatedCall && start != nullptr && start->record != nullptr) {
        const auto block = static_cast<char16_t>(u'A' + std::min<int>(start->record->Block, 25));
        return FormatText(kRelatedCallTitleFormat, kRelatedCallCaption, block, start->callRef,
                          start->channel);
    }
    return FormatText(kSearchTitleFormat, caption, searchText);
}

AggregationOutcome RunAggregation(CTessaryCan& converter, AggregationContext& context,
                                  PassProgress& progress, NotifyTarget* notify, OpenFlow* flow) {
    AggregationOutcome outcome;
    CanPara* para = converter.Para();
    if (para != nullptr) {
        para->Flag[1] |= kFlag1Redeliver;
    }
    if (flow != nullptr && flow->IsRunning()) {
        outcome.result = kStatusRunning;
        outcome.message = kAggregationWhileConverting;
        return outcome;
    }
    context.callEnded = false;
    if (context.table != nullptr) {
        context.table->FreeText();  // a run lays out from an empty table
    }
    ConverterSubject subject(&converter, notify);
    const auto control = [&](bool start) {
        if (context.table == nullptr) {
            return kStarterMissing;
        }
        if (!start) {
            subject.RequestStop();
            return kStarterStopping;
        }
        subject.SetResult(kStatusRunning, 0);
        const int32_t status = subject.StartPass(&SelectRecord, &context);
        if (status != kStatusDone) {
            subject.SetResult(status, GetLastError());
            return kStarterFailed;
        }
        return kStarterStarted;
    };
    if (flow != nullptr) {
        flow->SetRunning(true);
    }
    const bool ran = progress.Run(kAggregationTitle, u"", converter.DataSize(), control);
    if (flow != nullptr) {
        flow->SetRunning(false);
    }
    converter.WaitForWalk();
    int32_t result = ran ? subject.ResultCode() : kStatusRunning;
    if (result == kStatusDone && (converter.LineCount() == 0 || context.table == nullptr ||
                                  context.table->LineCount() < 2)) {
        result = kOpenResultNoData;
        outcome.message = kAggregationNoMatch;
    } else if (result == kStatusStopped && context.callEnded) {
        result = kStatusDone;
    } else if (result == kStatusStopped) {
        outcome.statusText =
            std::u16string(kAggregationTitle) + std::u16string(kAggregationCancelledSuffix);
    } else if (result != kStatusDone) {
        const uint32_t error =
            subject.ResultError() != 0 ? subject.ResultError() : converter.LastError();
        outcome.message =
            PassResultText(result, true, error, converter.FileOffsetOf(converter.RecordPosition()));
    }
    outcome.result = result;
    if (result != kStatusDone && context.table != nullptr) {
        context.table->FreeText();
        context.table->ClearSelection();
    }
    return outcome;
}

}  // namespace tessary
