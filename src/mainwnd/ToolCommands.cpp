#include "mainwnd/ToolCommands.h"

#include "mainwnd/CopyText.h"
#include "mainwnd/OpenFlow.h"
#include "platform/UiService.h"
#include "resources/MenuTables.h"
#include "resources/ResourceIds.h"
#include "settings/BlockOrder.h"
#include "settings/OptionModel.h"
#include "settings/OptionTexts.h"
#include "tools/CorrectionEdit.h"
#include "tools/StartCorrection.h"

namespace tessary {

void ToolCommands::Register(CommandTable& table) {
    table.Add(res::kCmdProperty, {.action = [this] { m_context.ShowProperty(); },
                                  .enabled = [this] { return m_context.Converter() != nullptr; }});
    table.Add(res::kCmdDivide, {.action = [this] { m_context.ShowDivide(); }});
    table.Add(res::kCmdOption, {.action = [this] { RunOptions(); }});
    table.Add(res::kCmdAbout, {.action = [this] { m_context.ShowAbout(); }});
    table.Add(res::kCmdSaveCorrection,
              {.action =
                   [this] {
                       CTessaryCan* converter = m_context.Converter();
                       SaveCorrection(converter, converter->StartCorrection(), true,
                                      m_context.Ui());
                   },
               .enabled =
                   [this] {
                       const CTessaryCan* converter = m_context.Converter();
                       return converter != nullptr && HasUnsavedCorrection(*converter);
                   }});
    // The context item names the message whose date/time it corrects.
    table.Add(
        res::kCmdCorrectLine,
        {.action = [this] { CorrectLine(); },
         .enabled = [this] { return CorrectionLine() != nullptr; },
         .text = [this]() -> std::optional<std::u16string> {
             const MessageRecord* record = CorrectionLine();
             CopySpan span;
             if (record != nullptr) {
                 span = {m_context.CurrentLine(), m_context.CurrentLine(), record->Id, record->Id};
             }
             return CopyItemText(res::MenuItemText(res::kMenuContext, res::kCmdCorrectLine), span);
         }});
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

const MessageRecord* ToolCommands::CorrectionLine() const {
    if (m_context.Converter() == nullptr) {
        return nullptr;
    }
    const DisplayLineTable& table = m_context.Table();
    const DisplayLine* line = table.Line(m_context.CurrentLine());
    // Line 0 is the title row, not a logged message.
    return line != nullptr && line->lineNumber >= 1 ? table.RecordOf(line) : nullptr;
}

void ToolCommands::CorrectLine() {
    if (m_context.ShowDiffTime(CorrectionLine()) == kDiffTimeApplied) {
        m_context.Reconvert();
    }
}

}  // namespace tessary
