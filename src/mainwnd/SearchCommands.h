#pragma once
// The search commands of the main window: find next and previous (menu, F3 / Shift+F3, the
// arrow buttons, Enter in the search box), focus the search box, clear the search history and
// the samples of the Search menu; and Search itself, which the aggregation commands share.
#include <string_view>

#include "mainwnd/CommandContext.h"
#include "mainwnd/CommandTable.h"

namespace tessary {

// Directions of Search.
inline constexpr int kSearchBackward = 0;
inline constexpr int kSearchForward = 1;
inline constexpr int kSearchCompileOnly = -1;

class SearchCommands {
public:
    explicit SearchCommands(MainCommandContext& context) : m_context(context) {}

    void Register(CommandTable& table);

    // Compiles `text` as the search highlight, records it in the history and, forward or
    // backward, selects the next matching display line, wrapping around. The line found (>= 1);
    // 0 for an empty text, for kSearchCompileOnly, or without a match; -1 when the text did not
    // compile.
    int Search(std::u16string_view text, int direction);

    // Clears the history after the question (the search box keeps its text).
    void ClearHistory();

private:
    void FindFromBox(int direction);
    // The text goes to the head of the history; false when the box could not be refilled.
    bool Record(std::u16string_view text);

    MainCommandContext& m_context;
};

}  // namespace tessary
