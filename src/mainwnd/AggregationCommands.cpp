#include "mainwnd/AggregationCommands.h"

#include "mainwnd/SearchCommands.h"
#include "resources/ResourceIds.h"

namespace tessary {

void AggregationCommands::Register(CommandTable& table) {
    table.Add(res::kCmdSearchAggregate, {.action = [this] { AggregateSearch(); }});
    table.Add(res::kCmdCallAggregate, {.action = [this] { AggregateCall(); }});
}

int AggregationCommands::AggregateSearch() {
    const std::u16string text = m_context.ControlText(res::kIdcSearchText);
    return Show(AggregationKind::kSearch, text, nullptr);
}

int AggregationCommands::AggregateCall() {
    const DisplayLineTable& table = m_context.Table();
    RelatedCallStart start;
    const std::u16string message =
        CheckRelatedCallStart(table.RecordOf(table.SelectionLine()), start);
    if (!message.empty()) {
        m_context.Ui().Warn(message, kRelatedCallCaption);
        return -1;
    }
    return Show(AggregationKind::kRelatedCall, start.pattern, &start);
}

int AggregationCommands::Show(AggregationKind kind, std::u16string_view text,
                              const RelatedCallStart* start) {
    const int compiled = m_search.Search(text, kSearchCompileOnly);
    m_context.FocusControl(res::kIdcSearchText, false);
    if (text.empty() || compiled != 0) {
        return -1;
    }
    if (m_context.Converter() == nullptr) {
        m_context.Ui().Warn(kNoLogLoaded, kAggregationTitle);
        return -1;
    }
    // Records keep their lines in the aggregation's own row slot while the window is open.
    uint8_t& flags = m_context.Settings().para.Flag[1];
    const uint8_t before = flags & kFlag1SecondRowSlot;
    flags |= kFlag1SecondRowSlot;
    const int code = m_context.ShowAggregation(kind, text, start);
    flags = static_cast<uint8_t>((flags & ~kFlag1SecondRowSlot) | before);
    return code;
}

}  // namespace tessary
