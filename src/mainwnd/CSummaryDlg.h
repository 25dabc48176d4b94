#pragma once
// An aggregation window: modal over the main window, it shows in its own pane frame only the
// message records of the loaded file that belong together (every match of the search pattern,
// or every record of one call), laid out again by a walk over the stored records. It has the
// selection group, the status panes, the go-to commands and the range copy of the main window.
#include <QDialog>
#include <QFont>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "display/CPaneFrame.h"
#include "logfile/NotifyTarget.h"
#include "mainwnd/Aggregation.h"
#include "mainwnd/CommandTable.h"
#include "mainwnd/OpenFlow.h"

class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace tessary {

class CMainDlg;
class CPaneWnd;
class CProgressDlg;
class ContextCommands;
class GoToCommands;
class QtPaneNotices;
class QtSummaryContext;

// End codes of an aggregation window that closed at once.
inline constexpr int kSummaryCancelled = 2;
inline constexpr int kSummaryFailed = 3;

class CSummaryDlg : public QDialog,
                    public PaneFrameOwner,
                    public PassProgress,
                    public NotifyTarget {
    Q_OBJECT

public:
    // `searchText` for a search aggregation, `start` (checked) for a related-call one.
    CSummaryDlg(CMainDlg& owner, AggregationKind kind, std::u16string_view searchText,
                const RelatedCallStart* start);
    ~CSummaryDlg() override;

    // The window's initialisation without the run: false on the first failing step, with its
    // message (and any collected before) in `failure`.
    bool Initialize(std::u16string* failure);
    // The aggregation run: 0, or the result that closes the window.
    int32_t Aggregate();
    // Initialize, Aggregate, then the modal window; -1 when it could not start,
    // kSummaryCancelled or kSummaryFailed when the run ended it.
    int DoModal();

    CTessaryCan* LoadedConverter() const override;
    CPaneFrame* Frame() const { return m_frame; }
    QWidget* Control(int id) const;
    QString StatusText(int pane) const;
    void SetStatusText(int pane, std::u16string_view text);
    QMenuBar* MenuBar() const { return m_menuBar; }
    QMenu* ContextMenu() const { return m_context; }
    bool PrepareContextMenu(CPaneWnd* pane, int x, int y);
    int ContextPane() const { return m_contextPane; }
    int32_t CurrentLine() const { return m_currentLine; }
    CommandTable& Commands() { return m_commands; }
    bool ExecuteCommand(int id);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void reject() override {}
    void accept() override {}

private:
    friend class QtSummaryContext;

    // PassProgress
    bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
             const std::function<int(bool)>& control) override;
    // NotifyTarget: the worker's WM_APP+1, posted to this window.
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override;

    bool Fail(std::u16string_view text, std::u16string* failure);
    void RestorePlacement();
    void StorePlacement();
    void RefreshControls();
    void LayoutClient();

    CMainDlg& m_owner;
    AggregationKind m_kind;
    std::u16string m_searchText;
    RelatedCallStart m_start;
    AggregationContext m_aggregation;
    // The worker matches its own copy of the compiled search: the main window's panes match the
    // shared one whenever they repaint, also under the progress dialog of the run.
    SearchCondition m_search;

    CPaneFrame* m_frame = nullptr;
    CProgressDlg* m_progress = nullptr;
    CommandTable m_commands;
    std::unique_ptr<QtSummaryContext> m_commandContext;
    std::unique_ptr<GoToCommands> m_goToCommands;
    std::unique_ptr<ContextCommands> m_contextCommands;
    std::unique_ptr<QtPaneNotices> m_notices;

    QString m_initialCaption;
    bool m_initialized = false;
    bool m_stored = false;
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusPanes[5] = {};
    QMenu* m_context = nullptr;
    std::map<int, QAction*> m_actions;
    std::map<int, QWidget*> m_controls;
    QFont m_paneFont;
    int m_frameLeft = 0, m_frameTop = 0, m_frameRight = 0, m_frameBottom = 0;

    // The record at the top of the main window when this one opened.
    int64_t m_mainTopRecord = -1;
    int m_contextPane = -1;
    int32_t m_currentLine = -1;
};

}  // namespace tessary
