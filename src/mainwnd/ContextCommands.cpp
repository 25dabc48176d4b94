#include "mainwnd/ContextCommands.h"

#include <optional>

#include "mainwnd/CommandTexts.h"
#include "mainwnd/CopyText.h"
#include "mainwnd/MainTexts.h"
#include "resources/MenuTables.h"
#include "resources/ResourceIds.h"

namespace tessary {

ContextCommands::ContextCommands(PaneCommandContext& context, int menuId)
    : m_context(context), m_copyRangeTemplate(res::MenuItemText(menuId, res::kCmdCopyRange)) {}

void ContextCommands::Register(CommandTable& table) {
    table.Add(res::kCmdCopyWord, {.action = [this] {
                  const std::u16string word =
                      CopyWordText(m_context.MenuItemText(res::kCmdCopyWord));
                  if (!word.empty()) {
                      m_context.Clipboard().SetText(word);
                  }
              }});
    table.Add(res::kCmdCopyRange,
              {.action = [this] { CopyRange(); },
               .enabled = [this] { return Span().IsValid(); },
               .text = [this]() -> std::optional<std::u16string> { return CopyRangeItemText(); }});
}

CopySpan ContextCommands::Span() const {
    const DisplayLineTable& table = m_context.Table();
    const DisplayLine* selection = table.SelectionLine();
    return CopySpanOf(table, selection != nullptr ? selection->lineNumber : -1,
                      m_context.CurrentLine());
}

std::u16string ContextCommands::CopyRangeItemText() {
    const DisplayLineTable& table = m_context.Table();
    if (table.SelectionLine() == nullptr) {
        const DisplayLine* current = table.Line(m_context.CurrentLine());
        if (current != nullptr && current->lineNumber >= 1 && table.RecordOf(current) != nullptr) {
            m_context.SelectLine(current->lineNumber);
        }
    }
    return CopyItemText(m_copyRangeTemplate, Span());
}

void ContextCommands::CopyRange() {
    const DisplayLineTable& table = m_context.Table();
    const DisplayLine* selection = table.SelectionLine();
    CopyParams params;
    params.para = &m_context.Settings().para;
    for (int p = 0; p < kBlockCount; ++p) {
        const int block = m_context.PaneBlock(p);
        params.paneBlocks[p] = block >= 0 ? block : p;
    }
    const std::u16string heading = m_context.CopyHeading();
    params.heading = heading;
    m_context.ShowStatusNow(kCopyRunning);
    CopyOutcome outcome;
    {
        std::optional<WaitCursor> wait(std::in_place, m_context);
        const auto confirm = [&] {
            wait.reset();
            const bool yes =
                m_context.Ui().Ask(CopyConfirmText(), m_context.Caption()) == Answer::kYes;
            wait.emplace(m_context);
            return yes;
        };
        outcome =
            tessary::CopyRange(table, selection != nullptr ? selection->lineNumber : -1,
                               m_context.CurrentLine(), params, confirm, m_context.Clipboard());
    }
    m_context.SetStatusText(0, outcome.statusText);
    if (!outcome.messageText.empty()) {
        m_context.Ui().Warn(outcome.messageText, m_context.Caption());
    }
}

std::u16string ContextCommands::LapdDetail() const {
    const DisplayLineTable& table = m_context.Table();
    const MessageRecord* record = table.RecordOf(table.Line(m_context.CurrentLine()));
    return record != nullptr ? LapdDetailText(*record) : std::u16string();
}

}  // namespace tessary
