#pragma once
// The tool commands of the main window: the header information (32770), the option dialog
// (32772) and the version dialog (16).
#include "mainwnd/CommandContext.h"
#include "mainwnd/CommandTable.h"

namespace tessary {

class ToolCommands {
public:
    explicit ToolCommands(MainCommandContext& context) : m_context(context) {}

    void Register(CommandTable& table);

private:
    // The option dialog, then what its result asks of the window.
    void RunOptions();
    // The message record of the context menu's current line, or nullptr.
    const MessageRecord* CorrectionLine() const;
    // The date/time correction of the current line; once applied, the loaded file is
    // converted again so that every line shows its new time.
    void CorrectLine();

    MainCommandContext& m_context;
};

}  // namespace tessary
