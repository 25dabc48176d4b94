#pragma once
// What the main window's command groups see of it: the window's state, panes, controls and
// menus behind the narrow interface of the groups.
#include "mainwnd/CommandContext.h"
#include "mainwnd/QtPaneContext.h"

namespace tessary {

class CMainDlg;

class QtMainContext : public MainCommandContext, public QtPaneContext {
public:
    explicit QtMainContext(CMainDlg& window) : m_window(window) {}

    SettingsRecord& Settings() override;
    CTessaryCan* Converter() const override;
    std::u16string Caption() const override;
    std::u16string CopyHeading() const override;

    void SetStatusText(int pane, std::u16string_view text) override;
    void ShowStatusNow(std::u16string_view text) override;

    int ContextPane() const override;
    int32_t CurrentLine() const override;

    std::u16string MenuItemText(int id) const override;

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

protected:
    CPaneFrame* Frame() const override;
    QWidget* Control(int id) const override;

private:
    CMainDlg& m_window;
};

}  // namespace tessary
