#include "mainwnd/ToolCommands.h"

#include "resources/ResourceIds.h"

namespace tessary {

void ToolCommands::Register(CommandTable& table) {
    table.Add(res::kCmdAbout, {.action = [this] { m_context.ShowAbout(); }});
}

}  // namespace tessary
