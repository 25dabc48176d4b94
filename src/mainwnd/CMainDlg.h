#pragma once
// The main window: a dialog with the menu, the selection and search groups, the LY1 legend, the
// pane frame with the four block panes and a five-pane status bar. It owns the settings record,
// the open flow (and through it the loaded converter) and the pane frame. Its commands live in
// command groups that reach it through QtMainContext; the window itself keeps start-up, layout,
// the window state and the routing of keys, clicks, drops and the WM_APP+n messages.
#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "decode/SearchCondition.h"
#include "mainwnd/OpenFlow.h"
#include "mainwnd/QtPaneWindow.h"
#include "settings/SettingsRecord.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;

namespace tessary {

namespace calls {
class CCallListDlg;
}

class AggregationCommands;
class CallListCommands;
class ContextCommands;
class FileCommands;
class GoToCommands;
class QtMainContext;
class QtMainMenus;
class SearchCommands;
class ToolCommands;
class ViewCommands;

class CMainDlg : public QtPaneWindow, public OpenFlowHost {
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The settings record (defaults until the application loads the stored one).
    SettingsRecord& Settings() override { return m_settings; }
    const SettingsRecord& Settings() const { return m_settings; }
    // Message boxes carry the initial caption; the LY1 legend heads a range copy.
    std::u16string Caption() const override;
    std::u16string CopyHeading() const override;
    std::u16string MenuItemText(int id) const override;

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

    bool IsCommandEnabled(int id) const { return m_commands.IsEnabled(id); }

    // The header-only choice of the open-file dialog (the header information window).
    void SetHeaderViewer(std::function<void(const PathString&)> viewer) {
        m_headerViewer = std::move(viewer);
    }

    // --- state that other windows and the tests read
    CTessaryCan* LoadedConverter() const override { return m_flow ? m_flow->Converter() : nullptr; }
    const PathString& LoadedPath() const { return m_flow->LoadedPath(); }
    bool IsConverting() const { return m_flow && m_flow->IsRunning(); }
    CProgressDlg* RunningProgress() const { return m_progress; }
    SearchCondition* Conditions() { return m_conditions; }
    QString InitialCaption() const { return m_initialCaption; }
    QString LegendText() const;
    QString LegendToolTip() const;
    QComboBox* SearchBox() const { return m_search; }
    QAction* MenuAction(int id) const;
    QMenu* ContextMenu() const override;
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

    // QtPaneWindow
    // WM_APP+1 with no pass data asks for the second pass of a two-pass file.
    void OnReaderNotify(intptr_t wParam, intptr_t lParam) override;
    void PrepareContextItems(CPaneWnd* pane, int x, int y) override;
    // Enter in the search box searches forward.
    bool FilterKey(QObject* watched, QKeyEvent* key) override;
    void RefreshControls() override;
    void LayoutClient() override;

    void RegisterCommands();
    void CompileRules();
    bool RefillSearchList();
    bool CreateFonts();
    bool CreateControls();
    void RestorePlacement();
    void StorePlacementAndOrder();
    bool SetPaneFontPoint(int tenths);
    void KeepTopRecord();
    void RestoreTopRecord();

    SettingsRecord m_settings;
    SearchCondition m_conditions[kMarkIfTextCount];
    std::unique_ptr<OpenFlow> m_flow;
    std::function<void(const PathString&)> m_headerViewer;

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

    QSize m_initialSize;

    std::unique_ptr<QtMainMenus> m_menus;
    QLabel* m_legend = nullptr;
    QComboBox* m_search = nullptr;

    QFont m_dialogFont;
    QFont m_fixedFont;
    QFont m_tipFont;
    QFont m_statusFont;
    int m_statusCharWidth = 0;

    // The legend's offsets and height, recorded at start-up.
    int m_legendLeft = 0, m_legendTop = 0, m_legendRight = 0, m_legendHeight = 0;

    // The place kept across a reconversion or a font change: a record index and the line
    // offset in its group.
    int64_t m_savedRecord = -1;
    int m_savedOffset = -1;
};

}  // namespace tessary
