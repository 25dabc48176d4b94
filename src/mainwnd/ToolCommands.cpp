#include "mainwnd/ToolCommands.h"

#include "mainwnd/CopyText.h"
#include "mainwnd/OpenFlow.h"
#include "platform/UiService.h"
#include "resources/ResourceIds.h"
#include "settings/BlockOrder.h"
#include "settings/OptionModel.h"
#include "settings/OptionTexts.h"

namespace tessary {

void ToolCommands::Register(CommandTable& table) {
    table.Add(res::kCmdDivide, {.action = [this] { m_context.ShowDivide(); }});
    table.Add(res::kCmdOption, {.action = [this] { RunOptions(); }});
    table.Add(res::kCmdAbout, {.action = [this] { m_context.ShowAbout(); }});
}

void ToolCommands::RunOptions() {
    const std::optional<int> result = m_context.ShowOptions();
    if (!result) {
        return;
    }
    if (*result == kOptionResetAll) {
        m_context.ResetOptions();
    }
    // The new block definitions get the checks the window makes on those it starts with.
    CanPara& para = m_context.Settings().para;
    NormalizeBlockIndents(para);
    CheckBlockDefOrder(para);
    if (m_context.Converter() == nullptr) {
        return;
    }
    // A new wrap width (also after a reset) needs the file converted again from its path.
    if ((*result & kOptionWrapChanged) != 0) {
        m_context.Open(m_context.LoadedPath(), kLineAsk);
        return;
    }
    if (!m_context.RedisplayTitles()) {
        m_context.Ui().Warn(res::kTitlesNotRedisplayed, m_context.Caption());
    }
    m_context.RedrawPanes();
}

}  // namespace tessary
