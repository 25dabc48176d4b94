#pragma once
// The go-to commands of a window with block panes: go to the display line number or the index
// number typed into the selection group (buttons 1110 / 1112, Enter in edits 1111 / 1113), and
// show the selection line again (F9, button 1115).
#include "mainwnd/CommandContext.h"
#include "mainwnd/CommandTable.h"
#include "mainwnd/GoToNumber.h"

namespace tessary {

class GoToCommands {
public:
    explicit GoToCommands(PaneCommandContext& context) : m_context(context) {}

    void Register(CommandTable& table);

private:
    // Reads the number in `edit`, finds its line with `find`, shows it and reports.
    void GoTo(int edit, GoToResult (*find)(const DisplayLineTable& table, int64_t number));

    bool Loaded() const { return m_context.Converter() != nullptr; }

    PaneCommandContext& m_context;
};

}  // namespace tessary
