#pragma once
// The tool commands of the main window: the option dialog (32772) and the version dialog (16).
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

    MainCommandContext& m_context;
};

}  // namespace tessary
