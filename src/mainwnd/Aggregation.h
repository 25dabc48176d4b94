#pragma once
// The aggregation windows' model: the start checks of the search and related-call
// aggregations, the selection function that lays out only the records that belong together
// (run on the converter's worker over the stored records), and the run with its messages.
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/DisplayLineTable.h"
#include "mainwnd/AggregationTexts.h"
#include "mainwnd/OpenFlow.h"

namespace tessary {

// Channel text "CH=" and 1 to 12 digits; call reference text "着"/"発" and a number.
inline constexpr size_t kChannelDigitsMax = 12;
inline constexpr size_t kAggregationTextMax = 15;

enum class AggregationKind { kSearch, kRelatedCall };

// The call reference text of a record: "着%u" for an incoming call (Flags bit 2), else "発%u".
std::u16string CallRefText(const MessageRecord& record);
// "CH=" (ASCII case ignored) and the 1-12 digits after its first occurrence, as written in the
// text; empty when there is none or the digits are missing or too many.
std::u16string ChannelText(std::u16string_view text);

struct RelatedCallStart {
    const MessageRecord* record = nullptr;
    std::u16string callRef;
    std::u16string channel;
    std::u16string pattern;  // "<-呼設定->|<%s>|<%s>"
};
// Checks the selected record. Empty on success (the start filled in); otherwise the message
// to show with kRelatedCallCaption.
std::u16string CheckRelatedCallStart(const MessageRecord* record, RelatedCallStart& start);

// The state the selection function works on; one per aggregation run.
struct AggregationContext {
    AggregationKind kind = AggregationKind::kSearch;
    DisplayLineTable* table = nullptr;            // the aggregation window's
    const DisplayLineTable* mainTable = nullptr;  // the main window's, for the capacities
    SearchCondition* search = nullptr;            // search aggregation: the compiled search
    // Related call.
    uint32_t startIndex = 0;
    uint8_t startBlock = 0;
    uint16_t startFlags = 0;
    int32_t startCallRef = 0;
    std::u16string channel;
    std::u16string callRef;  // replaced by the other side's SETUP during the run
    bool callEnded = false;

    // Fills the related-call fields from a checked start.
    void SetStart(const RelatedCallStart& start);
};

// Line callback (user = AggregationContext): 0 goes on, 772 a line cannot be appended, 768 the
// related call ended at a new SETUP of the same call reference.
int32_t SelectRecord(CTessaryCan* converter, MessageRecord* record, void* user);

// The window title: search "%s  \"%s\"" with the template caption; related call
// "%s[%c]  \"<%s> | <%s>\"".
std::u16string AggregationWindowTitle(AggregationKind kind, std::u16string_view caption,
                                      std::u16string_view searchText,
                                      const RelatedCallStart* start);

struct AggregationOutcome {
    int32_t result = 0;         // 0 success, 768 cancelled, 512, 769, ... failures
    std::u16string message;     // message box text (caption kAggregationTitle), or empty
    std::u16string statusText;  // main window's message pane after a cancel
};

// The aggregation run over the loaded converter: sets the re-delivery bit, refuses while
// `flow` runs a pass, runs the selection function under `progress` and maps the result. The
// caller has set the aggregation-view bit, hides and shows its panes, and shows the message.
// On failure the aggregation table is released.
AggregationOutcome RunAggregation(CTessaryCan& converter, AggregationContext& context,
                                  PassProgress& progress, NotifyTarget* notify, OpenFlow* flow);

}  // namespace tessary
