#pragma once
// An aggregation window: modal over the main window, it shows in its own pane frame only the
// message records of the loaded file that belong together (every match of the search pattern,
// or every record of one call), laid out again by a walk over the stored records. It has the
// selection group, the status panes, the go-to commands and the range copy of the main window.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "mainwnd/Aggregation.h"
#include "mainwnd/QtPaneWindow.h"

class QAction;
class QMenu;

namespace tessary {

class CMainDlg;
class ContextCommands;
class GoToCommands;
class QtPaneContext;

// End codes of an aggregation window that closed at once.
inline constexpr int kSummaryCancelled = 2;
inline constexpr int kSummaryFailed = 3;

class CSummaryDlg : public QtPaneWindow {
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
    QMenu* ContextMenu() const override { return m_context; }
    // The main window's settings.
    SettingsRecord& Settings() override;
    // Message boxes carry the window's title, and it heads a range copy.
    std::u16string Caption() const override;
    std::u16string CopyHeading() const override { return Caption(); }
    std::u16string MenuItemText(int id) const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void reject() override {}
    void accept() override {}

private:
    // PassProgress
    bool Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
             const std::function<int(bool)>& control) override;
    // QtPaneWindow
    void PrepareContextItems(CPaneWnd* pane, int x, int y) override;
    void RefreshControls() override;

    bool Fail(std::u16string_view text, std::u16string* failure);
    void RestorePlacement();
    void StorePlacement();

    CMainDlg& m_owner;
    AggregationKind m_kind;
    std::u16string m_searchText;
    RelatedCallStart m_start;
    AggregationContext m_aggregation;
    // The worker matches its own copy of the compiled search: the main window's panes match the
    // shared one whenever they repaint, also under the progress dialog of the run.
    SearchCondition m_search;

    std::unique_ptr<QtPaneContext> m_commandContext;
    std::unique_ptr<GoToCommands> m_goToCommands;
    std::unique_ptr<ContextCommands> m_contextCommands;

    QMenu* m_context = nullptr;
    std::map<int, QAction*> m_actions;

    // The record at the top of the main window when this one opened.
    int64_t m_mainTopRecord = -1;
};

}  // namespace tessary
