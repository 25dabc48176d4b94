#pragma once
// The main window: a dialog with the menu, the selection and search groups, the LY1 legend, the
// pane frame with the four block panes and a five-pane status bar. It owns the settings record,
// the open flow (and through it the loaded converter) and the pane frame. Its commands live in
// command groups that reach it through QtMainContext; the window itself keeps start-up, layout,
// the window state and the routing of keys, clicks, drops and the WM_APP+n messages.
#include <QDialog>
#include <QFont>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "decode/SearchCondition.h"
#include "display/CPaneFrame.h"
#include "logfile/NotifyTarget.h"
#include "mainwnd/CommandTable.h"
#include "mainwnd/OpenFlow.h"
#include "settings/SettingsRecord.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace tessary {

namespace calls {
class CCallListDlg;
}

class CPaneWnd;
class AggregationCommands;
class CallListCommands;
class CProgressDlg;
class ContextCommands;
class FileCommands;
class GoToCommands;
class QtMainContext;
class QtMainMenus;
class QtPaneNotices;
class QtWheelRedirect;
class SearchCommands;
class ToolCommands;
class ViewCommands;

inline constexpr int kMsgReaderNotify = kWmApp + 1;  // WM_APP+1

class CMainDlg : public QDialog,
                 public PaneFrameOwner,
                 public OpenFlowHost,
                 public PassProgress,
                 public NotifyTarget {
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The settings record (defaults until the application loads the stored one).
    SettingsRecord& Settings() { return m_settings; }
    const SettingsRecord& Settings() const { return m_settings; }

    // The dialog initialisation: false on the first failing step, with its message (and any
    // collected before) in `failure`.
    bool Initialize(std::u16string* failure);
    // Initialize, then runs modally; a failed start shows its message titled with the initial
    // caption and answers -1.
    int DoModal();

    // Opens a file (line choice -1 asks for an INS64 bulk file, 0 or 1 picks the line), after
    // the save prompt of an unsaved correction. Results as the open flow's; 775 when the save
    // prompt was cancelled.
    int32_t Open(const PathString& path, int lineChoice);
    // Converts the loaded file again (2: the second pass of a two-pass file).
    int32_t Reconvert(int lineChoice);
    // Open, and on success or a cancelled conversion the path goes to the head of the
    // recent-file list (the open-file dialog, dropped files, the command line).
    int32_t OpenAndRemember(const PathString& path, int lineChoice);
    // The search: 1 forward, 0 backward, -1 compile and record only.
    int Search(std::u16string_view text, int direction);
    void UpdateState(WindowState mode) override;
    void SetStatusText(int pane, std::u16string_view text);
    QString StatusText(int pane) const;

    // The command table every menu, accelerator, button and the context menu asks.
    CommandTable& Commands() { return m_commands; }
    bool IsCommandEnabled(int id) const { return m_commands.IsEnabled(id); }
    // Runs an enabled command (clearing the message pane first); false when it did not run.
    bool ExecuteCommand(int id);

    // The header-only choice of the open-file dialog (the header information window).
    void SetHeaderViewer(std::function<void(const PathString&)> viewer) {
        m_headerViewer = std::move(viewer);
    }

    // --- state that other windows and the tests read
    CTessaryCan* LoadedConverter() const override { return m_flow ? m_flow->Converter() : nullptr; }
    const PathString& LoadedPath() const { return m_flow->LoadedPath(); }
    bool IsConverting() const { return m_flow && m_flow->IsRunning(); }
    CPaneFrame* Frame() const { return m_frame; }
    CProgressDlg* RunningProgress() const { return m_progress; }
    SearchCondition* Conditions() { return m_conditions; }
    QString InitialCaption() const { return m_initialCaption; }
    QString LegendText() const;
    QString LegendToolTip() const;
    QWidget* Control(int id) const;
    QComboBox* SearchBox() const { return m_search; }
    QMenuBar* MenuBar() const { return m_menuBar; }
    QAction* MenuAction(int id) const;
    QMenu* ContextMenu() const;
    // The context menu as a right click at a pane's client point prepares it (not shown).
    bool PrepareContextMenu(CPaneWnd* pane, int x, int y);
    int ContextPane() const { return m_contextPane; }
    int32_t CurrentLine() const { return m_currentLine; }
    const QFont& PaneFont() const { return m_paneFont; }
    // The fonts an aggregation window takes over.
    const QFont& DialogFont() const { return m_dialogFont; }
    const QFont& EditFont() const { return m_fixedFont; }
    const QFont& StatusFont() const { return m_statusFont; }
    int StatusCharWidth() const { return m_statusCharWidth; }
    OpenFlow* Flow() const { return m_flow.get(); }
    // The call list window, once it has been opened.
    calls::CCallListDlg* CallList() const { return m_callList; }
    // Opens the call list window (Ctrl+L) or brings it to the front.
    void ShowCallList();
    // Selects the SETUP with this record index and opens its related-call aggregation.
    void OpenCallAggregation(uint32_t setupIndex);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void reject() override;
    void accept() override;
    void done(int result) override;

private:
    friend class QtMainContext;

    // Start-up steps, in order; each answers whether it succeeded.
    enum class StartStep {
        kMenus,
        kAccelerators,
        kRecentMenu,
        kSearchSamples,
        kFontSizes,
        kContextMenu,
        kFonts,
        kSearchBox,
        kTooltips,
        kStatusBar,
        kFrameMissing,
        kFrameFailed,
    };
    bool Fail(StartStep step, std::u16string& messages, std::u16string* failure) const;

    // OpenFlowHost
    void ShowStatus(std::u16string_view text) override { SetStatusText(0, text); }
    bool HidePanes() override;
    void ShowPanes() override;
    void ClearSearch() override;
    bool PostSecondPass() override;
    // PassProgress
    bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
             const std::function<int(bool)>& control) override;
    // NotifyTarget: the worker's WM_APP+1, posted to this window.
    void PostNotify(uint32_t message, uintptr_t wParam, void* lParam) override;

    void RegisterCommands();
    void CompileRules();
    bool RefillSearchList();
    bool CreateFonts();
    bool CreateControls();
    bool CreateStatusBar();
    // 0, or the step that failed.
    std::optional<StartStep> CreatePaneFrame();
    void RestorePlacement();

    // Messages.
    void OnReaderNotify(intptr_t wParam, intptr_t lParam);

    void RefreshControls();
    void LayoutClient();
    void StorePlacementAndOrder();
    bool SetPaneFontPoint(int tenths);
    void KeepTopRecord();
    void RestoreTopRecord();

    SettingsRecord m_settings;
    SearchCondition m_conditions[kMarkIfTextCount];
    CPaneFrame* m_frame = nullptr;
    std::unique_ptr<OpenFlow> m_flow;
    CProgressDlg* m_progress = nullptr;
    std::function<void(const PathString&)> m_headerViewer;

    CommandTable m_commands;
    std::unique_ptr<QtMainContext> m_commandContext;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<SearchCommands> m_searchCommands;
    std::unique_ptr<GoToCommands> m_goToCommands;
    std::unique_ptr<ViewCommands> m_viewCommands;
    std::unique_ptr<ContextCommands> m_contextCommands;
    std::unique_ptr<AggregationCommands> m_aggregationCommands;
    std::unique_ptr<ToolCommands> m_toolCommands;
    std::unique_ptr<CallListCommands> m_callListCommands;
    calls::CCallListDlg* m_callList = nullptr;  // a child window, made on first use

    QString m_initialCaption;
    QSize m_initialSize;
    bool m_initialized = false;
    bool m_stored = false;

    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusPanes[5] = {};
    std::unique_ptr<QtMainMenus> m_menus;
    std::map<int, QWidget*> m_controls;
    QLabel* m_legend = nullptr;
    QComboBox* m_search = nullptr;
    QtWheelRedirect* m_wheel = nullptr;
    std::unique_ptr<QtPaneNotices> m_notices;

    QFont m_dialogFont;
    QFont m_fixedFont;
    QFont m_tipFont;
    QFont m_statusFont;
    QFont m_paneFont;
    int m_statusCharWidth = 0;

    // Geometry recorded at start-up: legend offsets and height, frame margins.
    int m_legendLeft = 0, m_legendTop = 0, m_legendRight = 0, m_legendHeight = 0;
    int m_frameLeft = 0, m_frameTop = 0, m_frameRight = 0, m_frameBottom = 0;

    // The place kept across a reconversion or a font change: a record index and the line
    // offset in its group.
    int64_t m_savedRecord = -1;
    int m_savedOffset = -1;

    int m_contextPane = -1;
    int32_t m_currentLine = -1;
};

}  // namespace tessary
