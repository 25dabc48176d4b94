#include "mainwnd/GoToCommands.h"

#include "mainwnd/GoToNumber.h"
#include "resources/ResourceIds.h"

namespace tessary {

void GoToCommands::Register(CommandTable& table) {
    const auto loaded = [this] { return Loaded(); };
    table.Add(res::kIdcGoLine, {.action = [this] { GoToLine(); }, .enabled = loaded});
    table.Add(res::kIdcGoIndex, {.action = [this] { GoToIndex(); }, .enabled = loaded});
    table.Add(res::kCmdShowSelection,
              {.action =
                   [this] {
                       if (const DisplayLine* line = m_context.Table().SelectionLine()) {
                           m_context.ShowLine(line->lineNumber, true, true, false);
                       }
                   },
               .enabled = [this] { return m_context.Table().SelectionLine() != nullptr; }});
}

namespace {

// Shows the line a go-to found, reports in the message pane and gives the edit its text back
// selected, so that the next number can be typed at once.
void Finish(PaneCommandContext& context, const GoToResult& result, int edit) {
    if (result.line >= 1) {
        context.ShowLine(result.line, true, true, false);
    }
    if (!result.message.empty()) {
        context.SetStatusText(0, result.message);
    }
    context.FocusControl(edit, true);
}

}  // namespace

void GoToCommands::GoToLine() {
    const int64_t number = ReadEditNumber(m_context.ControlText(res::kIdcLineNumber));
    GoToResult result;
    {
        WaitCursor wait(m_context);
        result = GoToLineNumber(m_context.Table(), number);
    }
    if (result.possible) {
        Finish(m_context, result, res::kIdcLineNumber);
    }
}

void GoToCommands::GoToIndex() {
    const int64_t number = ReadEditNumber(m_context.ControlText(res::kIdcIndexNumber));
    GoToResult result;
    {
        WaitCursor wait(m_context);
        result = GoToIndexNumber(m_context.Table(), number);
    }
    if (result.possible) {
        Finish(m_context, result, res::kIdcIndexNumber);
    }
}

}  // namespace tessary
