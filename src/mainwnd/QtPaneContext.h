#pragma once
// The half of a command context that every window with block panes gives in the same way: its
// pane frame, its edits and combo box, the status panes, the right-clicked pane and line, the
// wait cursor, the UI service and the clipboard. The main window and the aggregation window add
// what is their own.
#include "mainwnd/CommandContext.h"
#include "mainwnd/QtClipboard.h"

class QWidget;

namespace tessary {

class CPaneFrame;
class QtPaneWindow;

class QtPaneContext : public virtual PaneCommandContext {
public:
    explicit QtPaneContext(QtPaneWindow& window) : m_paneWindow(window) {}

    CTessaryCan* Converter() const override;
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
