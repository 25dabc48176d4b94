#pragma once
// The aggregation commands of the main window: every record that matches the search pattern
// (32794, button 1117), or every record of the call whose SETUP is selected (32795, button
// 1118), gathered into an aggregation window.
#include "mainwnd/Aggregation.h"
#include "mainwnd/CommandContext.h"
#include "mainwnd/CommandTable.h"

namespace tessary {

class SearchCommands;

inline constexpr std::u16string_view kNoLogLoaded = u"INSログファイルが読み込まれていません。";

class AggregationCommands {
public:
    AggregationCommands(MainCommandContext& context, SearchCommands& search)
        : m_context(context), m_search(search) {}

    void Register(CommandTable& table);

    // The window's end code, or -1 when none opened.
    int AggregateSearch();
    int AggregateCall();

private:
    // Makes the text the search highlight and history entry, then opens the window with the
    // aggregation view on for its life.
    int Show(AggregationKind kind, std::u16string_view text, const RelatedCallStart* start);

    MainCommandContext& m_context;
    SearchCommands& m_search;
};

}  // namespace tessary
