#include "mainwnd/CallListCommands.h"

#include "resources/ResourceIds.h"

namespace tessary {

void CallListCommands::Register(CommandTable& table) {
    table.Add(res::kCmdCallList, {.action = [this] { m_show(); }});
}

}  // namespace tessary
