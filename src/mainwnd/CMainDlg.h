#pragma once
// The main window: a dialog with the menu, the selection and search groups, the LY1 legend, the
// pane frame with the four block panes and a five-pane status bar. It owns the settings record,
// the open flow (and through it the loaded converter) and the pane frame, and turns commands,
// keys, dropped files and the WM_APP+n messages of its panes and of the conversion worker into
// actions.
#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "decode/SearchCondition.h"
#include "display/CPaneFrame.h"
#include "logfile/NotifyTarget.h"
#include "mainwnd/OpenFlow.h"
#include "settings/SettingsRecord.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace tessary {

class CPaneWnd;
class CProgressDlg;

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

    // Opens a file (line choice -1 asks for an INS64 bulk file, 0 or 1 picks the line).
    // Results as the open flow's; 775 when the save prompt was cancelled.
    int32_t Open(const PathString& path, int lineChoice);
    // Converts the loaded file again (2: the second pass of a two-pass file).
    int32_t Reconvert(int lineChoice);
    // Open, and on success or a cancelled conversion the path goes to the head of the
    // recent-file list (the open-file dialog, dropped files, the command line).
    int32_t OpenAndRemember(const PathString& path, int lineChoice);
    // -1 no file, 0 loaded, 1 a reconversion starts, 2 it ended.
    void UpdateState(int mode) override;
    void SetStatusText(int pane, std::u16string_view text);
    QString StatusText(int pane) const;

    // Commands: registered handlers run through the menu, the accelerators, the buttons and the
    // context menu. A command without a handler is disabled.
    using CommandEnabled = std::function<bool()>;
    using CommandAction = std::function<void()>;
    void RegisterCommand(int id, CommandEnabled enabled, CommandAction action);
    bool IsCommandEnabled(int id) const;
    // Runs an enabled command (clearing the message pane first); false when it did not run.
    bool ExecuteCommand(int id);

    // The header-only choice of the open-file dialog (the header information window).
    void SetHeaderViewer(std::function<void(const PathString&)> viewer) {
        m_headerViewer = std::move(viewer);
    }

    // --- state that other windows and the tests read
    CTessaryCan* LoadedConverter() const override { return m_flow ? m_flow->Converter() : nullptr; }
    const PathString& LoadedPath() const;
    bool IsConverting() const { return m_flow && m_flow->IsRunning(); }
    CPaneFrame* Frame() const { return m_frame; }
    CProgressDlg* RunningProgress() const { return m_progress; }
    SearchCondition* Conditions() { return m_conditions; }
    QString InitialCaption() const { return m_initialCaption; }
    QString LegendText() const;
    QString LegendToolTip() const;
    QWidget* Control(int id) const;
    QMenuBar* MenuBar() const { return m_menuBar; }
    QAction* MenuAction(int id) const;
    QMenu* ContextMenu() const { return m_context; }
    // The context menu as a right click at a pane's client point prepares it (not shown).
    bool PrepareContextMenu(CPaneWnd* pane, int x, int y);
    int ContextPane() const { return m_contextPane; }
    int32_t CurrentLine() const { return m_currentLine; }
    const QFont& PaneFont() const { return m_paneFont; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void reject() override;
    void accept() override;
    void done(int result) override;

private:
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

    // Start-up steps.
    bool BuildMenus();
    bool LoadAccelerators();
    void CompileRules();
    bool BuildRecentMenu();
    bool BuildSearchSamples();
    bool BuildFontSizes();
    bool LoadContextMenu();
    bool CreateFonts();
    bool FillSearchCombo();
    void CreateControls();
    bool CreateTooltips();
    bool CreateStatusBar();
    int CreatePaneFrame();  // 0, or 1 object missing, 2 creation failed
    void RestorePlacement();

    // Messages.
    void OnReaderNotify(intptr_t wParam, intptr_t lParam);
    void RefreshSelection();
    void OnPaneMouseMove(CPaneWnd* pane, int y);
    void OnPaneLeftDown(CPaneWnd* pane, int y);
    void OnPaneRightDown(CPaneWnd* pane, int x, int y);
    CPaneWnd* PaneOf(intptr_t lParam) const;
    void UpdateContextItems();
    void RefreshLapdDetail();

    // Commands of this window.
    void RegisterOwnCommands();
    void OnOpenFile();
    void OnReload();
    void OnCopyWord();
    void AddRecentFile(const PathString& path);
    void UpdateMenuState(QMenu* menu);
    void RefreshControls();
    void LayoutClient();
    void StorePlacementAndOrder();
    void SetEditText(int id, const QString& text);

    struct CommandEntry {
        CommandEnabled enabled;
        CommandAction action;
    };
    // The menu callback that runs a command.
    std::function<void(int)> Command();

    SettingsRecord m_settings;
    SearchCondition m_conditions[kMarkIfTextCount];
    CPaneFrame* m_frame = nullptr;
    std::unique_ptr<OpenFlow> m_flow;
    CProgressDlg* m_progress = nullptr;
    std::map<int, CommandEntry> m_commands;
    std::function<void(const PathString&)> m_headerViewer;

    QString m_initialCaption;
    QSize m_initialSize;
    bool m_initialized = false;
    bool m_stored = false;

    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusPanes[5] = {};
    QMenu* m_context = nullptr;
    std::map<int, QAction*> m_actions;  // menu 128 items by command
    std::map<int, QWidget*> m_controls;
    std::u16string m_contextTemplates[3];  // texts of 34000-34002
    QLabel* m_legend = nullptr;
    QComboBox* m_search = nullptr;

    QFont m_dialogFont;
    QFont m_fixedFont;
    QFont m_tipFont;
    QFont m_statusFont;
    QFont m_paneFont;
    int m_statusCharWidth = 0;

    // Geometry recorded at start-up: legend offsets and height, frame margins.
    int m_legendLeft = 0, m_legendTop = 0, m_legendRight = 0, m_legendHeight = 0;
    int m_frameLeft = 0, m_frameTop = 0, m_frameRight = 0, m_frameBottom = 0;

    // The place kept across a reconversion: a record index and the line offset in its group.
    int64_t m_savedRecord = -1;
    int m_savedOffset = -1;

    int m_contextPane = -1;
    int32_t m_currentLine = -1;
};

}  // namespace tessary
