#pragma once
// The block panes' context-menu commands that act on the text shown: copy the word under the
// mouse, copy the range from the selection line to the current line and the LAPD detail line of
// the current line. The item correcting the current line's date/time is a tool command.
#include <string>

#include "mainwnd/CommandContext.h"
#include "mainwnd/CommandTable.h"
#include "mainwnd/CopyText.h"

namespace tessary {

class ContextCommands {
public:
    // `menuId`: the menu whose item templates the window shows (main or aggregation popup).
    ContextCommands(PaneCommandContext& context, int menuId);

    void Register(CommandTable& table);

    // The range copy; its result text (or nothing) goes to the message pane.
    void CopyRange();
    // Item 34001 for the present selection and current line. Without a selection line the
    // current line's message becomes the selection line first.
    std::u16string CopyRangeItemText();
    // The LAPD detail line of the current line's record, or empty.
    std::u16string LapdDetail() const;

private:
    CopySpan Span() const;

    PaneCommandContext& m_context;
    std::u16string m_copyRangeTemplate;
};

}  // namespace tessary
