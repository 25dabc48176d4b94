#include "mainwnd/GoToCommands.h"

#include "mainwnd/GoToNumber.h"
#include "mainwnd/MainTexts.h"
#include "platform/DigitGroup.h"
#include "resources/ResourceIds.h"

namespace tessary {

void GoToCommands::Register(CommandTable& table) {
    const auto loaded = [this] { return Loaded(); };
    table.Add(res::kIdcGoLine, {.action = [this] { GoTo(res::kIdcLineNumber, &GoToLineNumber); },
                                .enabled = loaded});
    table.Add(res::kIdcGoIndex, {.action = [this] { GoTo(res::kIdcIndexNumber, &GoToIndexNumber); },
                                 .enabled = loaded});
    table.Add(res::kCmdShowSelection,
              {.action =
                   [this] {
                       if (const DisplayLine* line = m_context.Table().SelectionLine()) {
                           m_context.ShowLine(line->lineNumber, true, true, false);
                       }
                   },
               .enabled = [this] { return m_context.Table().SelectionLine() != nullptr; }});
}

void GoToCommands::GoTo(int edit,
                        GoToResult (*find)(const DisplayLineTable& table, int64_t number)) {
    const int64_t number = ReadEditNumber(m_context.ControlText(edit));
    GoToResult result;
    {
        WaitCursor wait(m_context);
        result = find(m_context.Table(), number);
    }
    if (!result.possible) {
        return;
    }
    if (result.line >= 1) {
        m_context.ShowLine(result.line, true, true, false);
        // The selection group learns of the new selection only later and would then rewrite the
        // edit, dropping the selection made below; give the edit that text now.
        const DisplayLineTable& table = m_context.Table();
        const DisplayLine* selected = table.SelectionLine();
        const MessageRecord* record = table.RecordOf(selected);
        if (record != nullptr) {
            m_context.SetControlText(
                edit, edit == res::kIdcLineNumber
                          ? GroupedDecimal16(static_cast<uint64_t>(selected->lineNumber))
                          : IndexNumberText(record->Id));
        }
    }
    if (!result.message.empty()) {
        m_context.SetStatusText(0, result.message);
    }
    // The text goes back selected, so that the next number can be typed at once.
    m_context.FocusControl(edit, true);
}

}  // namespace tessary
