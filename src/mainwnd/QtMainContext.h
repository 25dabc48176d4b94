#pragma once
// What the main window's command groups see of it: the window's state, panes, controls and
// menus behind the narrow interface of the groups.
#include "mainwnd/CommandContext.h"
#include "mainwnd/QtClipboard.h"

namespace tessary {

class CMainDlg;

class QtMainContext : public MainCommandContext {
public:
    explicit QtMainContext(CMainDlg& window) : m_window(window) {}

    SettingsRecord& Settings() override;
    const DisplayLineTable& Table() const override;
    CTessaryCan* Converter() const override;
    UiService& Ui() override;
    ClipboardService& Clipboard() override { return m_clipboard; }
    std::u16string Caption() const override;
    std::u16string CopyHeading() const override;

    void SetStatusText(int pane, std::u16string_view text) override;
    void ShowStatusNow(std::u16string_view text) override;
    void SetWaitCursor(bool wait) override;

    void ShowLine(int32_t line, bool groupStart, bool select, bool takeFocus) override;
    void SelectLine(int32_t line) override;
    void RedrawPanes() override;
    void VisibleLines(int32_t* top, int32_t* bottom) const override;
    int PaneBlock(int position) const override;
    void SwapPanes(int first, int second) override;
    void LayoutColumns() override;
    int ContextPane() const override;
    int32_t CurrentLine() const override;

    std::u16string ControlText(int id) const override;
    void SetControlText(int id, std::u16string_view text) override;
    void FocusControl(int id, bool selectAll) override;
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

private:
    CMainDlg& m_window;
    QtClipboard m_clipboard;
};

}  // namespace tessary
