#pragma once
// The answers of a window with block panes to what its pane frame and panes report: the
// selection group (edits 1111, 1113, 1114) after a selection change or a scroll, status panes
// 1-3 for the line under the mouse, and the left click that selects a message. The main window
// and the aggregation window share them.
#include <QtGlobal>
#include <functional>
#include <string_view>

#include "display/CPaneFrame.h"

class QMenu;
class QWidget;

namespace tessary {

class CPaneWnd;
class CProgressDlg;
class QtAppEvent;

class QtPaneNotices {
public:
    struct Window {
        CPaneFrame* frame = nullptr;
        std::function<void(int pane, std::u16string_view text)> setStatus;
        std::function<QWidget*(int id)> control;
        std::function<void()> refreshControls;
    };
    explicit QtPaneNotices(Window window) : m_window(std::move(window)) {}

    // Handles WM_APP+3 (selection), +4 (scrolled), +5 (mouse move) and +6 (left click); false for
    // any other message.
    bool Handle(int message, intptr_t wParam, intptr_t lParam);
    // WM_APP+1 of a reader while a pass runs under `progress`: the warning count into status
    // pane 4, the progress to the dialog. Nothing without a running progress dialog.
    void ForwardReaderNotify(intptr_t wParam, intptr_t lParam, CProgressDlg* progress);
    // The pane a message names, or nullptr.
    CPaneWnd* PaneOf(intptr_t lParam) const;
    // A pane message of a window with `notices` (which may be absent): the ones Handle takes,
    // and the right click (WM_APP+9), which shows `menu` at the click when `prepare` agrees.
    // False for any other message.
    static bool HandleWindowMessage(
        QtPaneNotices* notices, const QtAppEvent& message, QMenu* menu,
        const std::function<bool(CPaneWnd* pane, int x, int y)>& prepare);
    void RefreshSelection();

private:
    void OnMouseMove(CPaneWnd* pane, int y);
    void OnLeftDown(CPaneWnd* pane, int y);
    void SetEditText(int id, std::u16string_view text);

    Window m_window;
};

}  // namespace tessary
