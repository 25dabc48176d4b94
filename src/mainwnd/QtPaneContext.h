#pragma once
// The command context of a window with block panes: its settings, pane frame, edits and combo
// box, status panes, menu texts, the right-clicked pane and line, the wait cursor, the UI service
// and the clipboard. It is the whole context of an aggregation window; the main window's adds
// the commands that are its own.
#include "mainwnd/CommandContext.h"
#include "mainwnd/QtClipboard.h"

class QWidget;

namespace tessary {

class CPaneFrame;
class QtPaneWindow;

class QtPaneContext : public virtual PaneCommandContext {
public:
    explicit QtPaneContext(QtPaneWindow& window) : m_paneWindow(window) {}

    SettingsRecord& Settings() override;
    CTessaryCan* Converter() const override;
    std::u16string Caption() const override;
    std::u16string CopyHeading() const override;
    std::u16string MenuItemText(int id) const override;
    const DisplayLineTable& Table() const override;
    UiService& Ui() override;
    ClipboardService& Clipboard() override { return m_clipboard; }
    void SetWaitCursor(bool wait) override;
    void SetStatusText(int pane, std::u16string_view text) override;
    void ShowStatusNow(std::u16string_view text) override;
    int ContextPane() const override;
    int32_t CurrentLine() const override;

    void ShowLine(int32_t line, bool groupStart, bool select, bool takeFocus) override;
    void SelectLine(int32_t line) override;
    void RedrawPanes() override;
    void VisibleLines(int32_t* top, int32_t* bottom) const override;
    int PaneBlock(int position) const override;
    void SwapPanes(int first, int second) override;
    void LayoutColumns() override;

    // Edits by their text; a combo box by its edit field.
    std::u16string ControlText(int id) const override;
    void SetControlText(int id, std::u16string_view text) override;
    void FocusControl(int id, bool selectAll) override;

protected:
    CPaneFrame* Frame() const;
    QWidget* Control(int id) const;

private:
    QtPaneWindow& m_paneWindow;
    QtClipboard m_clipboard;
};

}  // namespace tessary
