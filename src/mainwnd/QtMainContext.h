#pragma once
// What the main window's command groups see of it: the window's state, panes, controls and
// menus behind the narrow interface of the groups.
#include "mainwnd/CommandContext.h"
#include "mainwnd/QtPaneContext.h"

namespace tessary {

class CMainDlg;

class QtMainContext : public MainCommandContext, public QtPaneContext {
public:
    explicit QtMainContext(CMainDlg& window);

    SearchCondition* Conditions() override;
    PathString LoadedPath() const override;
    int32_t Open(const PathString& path, int lineChoice) override;
    int32_t Reconvert() override;
    void ShowHeaderOnly(const PathString& path) override;
    void CloseWindow() override;
    bool RefillRecentMenu() override;
    bool RefillSearchList() override;
    void SelectFirstSearchItem() override;
    bool SetPaneFont(int tenths) override;
    int ShowAggregation(AggregationKind kind, std::u16string_view text,
                        const RelatedCallStart* start) override;
    void ShowProperty() override;
    void ShowDivide() override;
    void ShowAbout() override;
    std::optional<int> ShowOptions() override;
    void ResetOptions() override;
    bool RedisplayTitles() override;
    int ShowDiffTime(const MessageRecord* line) override;

private:
    CMainDlg& m_window;
};

}  // namespace tessary
