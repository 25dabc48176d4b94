#include "mainwnd/SearchCommands.h"

#include "display/DisplaySource.h"
#include "mainwnd/CommandTexts.h"
#include "mainwnd/SearchRule.h"
#include "mainwnd/SearchScan.h"
#include "resources/MenuTables.h"
#include "resources/MenuText.h"
#include "resources/ResourceIds.h"

namespace tessary {

void SearchCommands::Register(CommandTable& table) {
    table.Add(res::kCmdFindNext, {.action = [this] { FindFromBox(kSearchForward); }});
    table.Add(res::kCmdFindPrevious, {.action = [this] { FindFromBox(kSearchBackward); }});
    table.Add(res::kCmdFocusSearch,
              {.action = [this] { m_context.FocusControl(res::kIdcSearchText, true); }});
    table.Add(res::kCmdClearSearchHistory, {.action = [this] { ClearHistory(); }});
    for (const res::SearchSample& sample : res::SearchSamples()) {
        const int id = sample.id;
        table.Add(id, {.action = [this, id] {
                      const std::u16string item = m_context.MenuItemText(id);
                      m_context.SetControlText(res::kIdcSearchText, res::TooltipFromMenuText(item));
                      m_context.FocusControl(res::kIdcSearchText, false);
                  }});
    }
}

void SearchCommands::FindFromBox(int direction) {
    const std::u16string text = m_context.ControlText(res::kIdcSearchText);
    Search(text, direction);
    m_context.FocusControl(res::kIdcSearchText, false);
}

bool SearchCommands::Record(std::u16string_view text) {
    std::vector<std::u16string>& history = m_context.Settings().searchHistory;
    if (AddToHistory(history, text, [this] { return m_context.RefillSearchList(); }) < 0) {
        m_context.SetControlText(res::kIdcSearchText, text);
        return false;
    }
    m_context.SelectFirstSearchItem();
    return true;
}

int SearchCommands::Search(std::u16string_view text, int direction) {
    CanPara& para = m_context.Settings().para;
    SearchCondition& condition = m_context.Conditions()[kSearchSlot];
    if (text.empty()) {
        ClearSearchRule(para, condition);
        m_context.RedrawPanes();
        return 0;
    }
    const std::u16string previous(SearchRuleText(para));
    const int compiled = CompileSearchRule(para, condition, text);
    if (compiled != 0) {
        m_context.RedrawPanes();
        m_context.Ui().Warn(compiled == -1 ? kSearchNoMemory : kSearchBadPattern,
                            kSearchFailedCaption);
        return -1;
    }
    // The box may refill from the history, so keep the text before recording it.
    const std::u16string searched(text);
    const bool recorded = Record(searched);
    if (direction == kSearchCompileOnly) {
        return 0;
    }

    const bool forward = direction != kSearchBackward;
    const DisplayLineTable& table = m_context.Table();
    int32_t top = -1;
    int32_t bottom = -1;
    m_context.VisibleLines(&top, &bottom);
    const DisplayLine* selection = table.SelectionLine();
    int32_t hit = -1;
    {
        WaitCursor wait(m_context);
        const SearchStart start =
            SearchStartOf(table, selection != nullptr ? selection->lineNumber : -1, top, bottom,
                          forward, SameSearchText(searched, previous));
        hit = ScanForHit(table, start, forward);
    }
    if (hit < 1) {
        m_context.RedrawPanes();
        m_context.SetStatusText(0, kSearchNotFound);
        return 0;
    }
    const DisplayLine* line = table.Line(hit);
    const int32_t first = line->lineNumber - line->groupOffset;
    const int32_t last = first + line->groupSize - 1;
    const SelectionView view = RelationToView(first, last, top, bottom);
    const bool wasVisible =
        view == SelectionView::kPartlyVisible || view == SelectionView::kFullyVisible;
    m_context.ShowLine(hit, true, true, false);
    if (wasVisible) {
        m_context.RedrawPanes();
    }
    if (!recorded) {
        m_context.SetStatusText(0, kSearchHistoryFailed);
    }
    return hit;
}

void SearchCommands::ClearHistory() {
    if (m_context.Ui().Ask(kClearSearchHistoryQuestion, kClearSearchHistoryCaption) !=
        Answer::kYes) {
        return;
    }
    const std::u16string kept = m_context.ControlText(res::kIdcSearchText);
    m_context.Settings().searchHistory.clear();
    m_context.RefillSearchList();
    m_context.SetControlText(res::kIdcSearchText, kept);
    // The highlight goes; the definition string stays for the next search.
    m_context.Conditions()[kSearchSlot].Clear();
    m_context.RedrawPanes();
}

}  // namespace tessary
