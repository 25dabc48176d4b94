#pragma once
// What the main window and an aggregation window have alike: a dialog with a menu bar, a client
// area with the go-to edits and the pane frame, five status panes, a command table and the pane
// notices. It builds those parts, lays out the frame, routes the worker's and the panes' WM_APP+n
// messages, the dialog keys, the go-to edits' focus and the clearing of the message pane; each
// window adds its own controls, menus and commands.
#include <QDialog>
#include <QFont>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "display/CPaneFrame.h"
#include "logfile/NotifyTarget.h"
#include "mainwnd/CommandTable.h"
#include "mainwnd/OpenFlow.h"
#include "resources/WindowTexts.h"

class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QVBoxLayout;

namespace tessary {

class CPaneWnd;
class CProgressDlg;
class QtPaneNotices;
struct SettingsRecord;

inline constexpr int kMsgReaderNotify = kWmApp + 1;  // WM_APP+1

class QtPaneWindow : public QDialog,
                     public PaneFrameOwner,
                     public PassProgress,
                     public NotifyTarget {
    Q_OBJECT

public:
    ~QtPaneWindow() override;

    // The settings record the window shows its panes by.
    virtual SettingsRecord& Settings() = 0;
    // The caption of the window's message boxes, and the heading of a range copy.
    virtual std::u16string Caption() const = 0;
    virtual std::u16string CopyHeading() const = 0;
    // A menu item's text (the context menu's first); empty when the window has no such item.
    virtual std::u16string MenuItemText(int id) const = 0;
    CPaneFrame* Frame() const { return m_frame; }
    QWidget* Control(int id) const;
    QString StatusText(int pane) const;
    void SetStatusText(int pane, std::u16string_view text);
    // The message pane's text, painted at once (a long step follows that holds the loop).
    void ShowStatusNow(std::u16string_view text);
    QMenuBar* MenuBar() const { return m_menuBar; }
    virtual QMenu* ContextMenu() const = 0;
    // The context menu as a right click at a pane's client point prepares it (not shown).
    bool PrepareContextMenu(CPaneWnd* pane, int x, int y);
    int ContextPane() const { return m_contextPane; }
    int32_t CurrentLine() const { return m_currentLine; }

    // The command table every menu, accelerator, button and the context menu asks.
    CommandTable& Commands() { return m_commands; }
    // Runs an enabled command (clearing the message pane first); false when it did not run.
    bool ExecuteCommand(int id);

protected:
    explicit QtPaneWindow(QWidget* parent);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // NotifyTarget: the worker's WM_APP+1, posted to this window.
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override;

    // The worker's WM_APP+1; by default it goes to the running progress dialog.
    virtual void OnReaderNotify(intptr_t wParam, intptr_t lParam);
    // The context menu's items for a right click in `pane` at (x, y), after the target is noted.
    virtual void PrepareContextItems(CPaneWnd* pane, int x, int y) = 0;
    // A key press the window takes before the focused control does; true when it was used.
    virtual bool FilterKey(QObject* watched, QKeyEvent* key);
    // The buttons and edits follow the command states.
    virtual void RefreshControls() = 0;
    virtual void LayoutClient();

    // The menu bar above, the client area in the middle (the status bar comes below).
    QVBoxLayout* CreateClientArea();
    void CreateStatusBar(const QFont& font, int charWidth);
    // The pane frame in place of its placeholder control, and its notices.
    enum class FrameFailure { kMissing, kCreate };
    std::optional<FrameFailure> CreatePaneFrame();
    // The frame follows the client area's size with the margins taken at start-up.
    void PlaceFrame();
    // The event filters on the client area and the application, and the wheel redirect.
    void WatchInput();

    CPaneFrame* m_frame = nullptr;
    CProgressDlg* m_progress = nullptr;
    CommandTable m_commands;
    std::unique_ptr<QtPaneNotices> m_notices;

    QString m_initialCaption;
    bool m_initialized = false;
    bool m_stored = false;

    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusPanes[res::kStatusPaneCount] = {};
    std::map<int, QWidget*> m_controls;
    QFont m_paneFont;

    // The right-clicked pane and line.
    int m_contextPane = -1;
    int32_t m_currentLine = -1;

private:
    int m_frameLeft = 0, m_frameTop = 0, m_frameRight = 0, m_frameBottom = 0;
};

}  // namespace tessary
