#include "mainwnd/CSummaryDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "display/CPaneWnd.h"
#include "display/QtWheelRedirect.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/ContextCommands.h"
#include "mainwnd/GoToCommands.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/QtMenus.h"
#include "mainwnd/QtPaneContext.h"
#include "mainwnd/QtPaneNotices.h"
#include "mainwnd/QtPlacement.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "resources/MenuTables.h"
#include "resources/MenuText.h"
#include "resources/QtDialogControls.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "tools/CProgressDlg.h"

namespace tessary {
namespace {

// The buttons of the selection group and the commands they run.
constexpr res::ButtonCommand kButtons[] = {
    {res::kIdcGoLine, res::kIdcGoLine},
    {res::kIdcGoIndex, res::kIdcGoIndex},
    {res::kIdcShowSelection, res::kCmdShowSelection},
};
constexpr res::MenuTooltip kTooltips[] = {
    {res::kIdcShowSelection, res::kMenuSummary, res::kCmdShowSelection},
};
constexpr int kContextPopup = 1;  // "検索情報集約表示ウィンドウ" of menu 130

}  // namespace

CSummaryDlg::CSummaryDlg(CMainDlg& owner, AggregationKind kind, std::u16string_view searchText,
                         const RelatedCallStart* start)
    : QtPaneWindow(&owner), m_owner(owner), m_kind(kind), m_searchText(searchText) {
    if (start != nullptr) {
        m_start = *start;
    }
    m_frame = new CPaneFrame(this, owner.Frame()->Source());
    m_commandContext = std::make_unique<QtPaneContext>(*this);
    m_goToCommands = std::make_unique<GoToCommands>(*m_commandContext);
    m_contextCommands = std::make_unique<ContextCommands>(*m_commandContext, res::kMenuContext);
    m_goToCommands->Register(m_commands);
    m_contextCommands->Register(m_commands);
    m_commands.Add(res::kCmdLayoutColumns,
                   {.action = [this] { m_frame->LayoutColumns(nullptr, true); }});
    m_commands.Add(res::kCmdClose, {.action = [this] { close(); }});
}

CSummaryDlg::~CSummaryDlg() {
    qApp->removeEventFilter(this);
    StorePlacement();
    // The lines point into the main window's converter, which outlives this window.
    delete m_frame;
    m_frame = nullptr;
    delete m_context;
}

CTessaryCan* CSummaryDlg::LoadedConverter() const {
    return m_owner.LoadedConverter();
}

SettingsRecord& CSummaryDlg::Settings() {
    return m_owner.Settings();
}

std::u16string CSummaryDlg::Caption() const {
    return FromQString(windowTitle());
}

std::u16string CSummaryDlg::MenuItemText(int id) const {
    const QAction* item = m_context != nullptr ? FindMenuItem(m_context, id) : nullptr;
    if (item == nullptr) {
        const auto found = m_actions.find(id);
        item = found != m_actions.end() ? found->second : nullptr;
    }
    return item != nullptr ? FromQString(item->text()) : std::u16string();
}

bool CSummaryDlg::Fail(std::u16string_view text, std::u16string* failure) {
    if (failure != nullptr) {
        *failure = text;
    }
    return false;
}

bool CSummaryDlg::Initialize(std::u16string* failure) {
    if (m_initialized) {
        return true;
    }
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddSummary);
    setWindowIcon(m_owner.windowIcon());
    m_initialCaption = ToQString(dialog->caption);
    CreateClientArea();
    const MenuCommand command = [this](int id) { ExecuteCommand(id); };
    if (!BuildMenuBar(
            m_menuBar, res::kMenuSummary, command,
            [this](QMenu* popup) { ApplyCommandStates(popup, m_commands); }, m_actions)) {
        return Fail(res::kInitContextMenu, failure);
    }
    if (!InstallAccelerators(this, res::kAcceleratorMain, command)) {
        return Fail(res::kInitAccelerators, failure);
    }
    m_context = BuildPopupMenu(res::kMenuContext, kContextPopup, command);
    if (m_context == nullptr) {
        return Fail(res::kInitContextMenu, failure);
    }
    setFont(m_owner.DialogFont());
    m_paneFont = MakePaneFont(m_owner.Settings().paneFontPoint);
    if (QFontMetrics(m_paneFont).height() <= 0) {
        return Fail(res::kInitFonts, failure);
    }
    setWindowTitle(ToQString(AggregationWindowTitle(
        m_kind,
        m_kind == AggregationKind::kRelatedCall ? kRelatedCallCaption
                                                : FromQString(m_initialCaption),
        m_searchText, m_kind == AggregationKind::kRelatedCall ? &m_start : nullptr)));

    const TemplateControls created =
        CreateTemplateControls(m_client, *dialog, m_owner.DialogFont(), m_owner.EditFont());
    m_controls = created.byId;
    for (const res::ButtonCommand& entry : kButtons) {
        if (auto* button = qobject_cast<QPushButton*>(Control(entry.control))) {
            const int id = entry.command;
            connect(button, &QPushButton::clicked, this, [this, id] { ExecuteCommand(id); });
        }
    }
    for (int edit : {res::kIdcLineNumber, res::kIdcIndexNumber}) {
        if (QWidget* control = Control(edit)) {
            control->installEventFilter(this);
        }
    }
    if (Control(res::kIdcGoLine) == nullptr || Control(res::kIdcGoIndex) == nullptr) {
        return Fail(res::kInitTooltips, failure);
    }
    SetControlTip(Control(res::kIdcGoLine), ToQString(res::kTipGoLine));
    SetControlTip(Control(res::kIdcGoIndex), ToQString(res::kTipGoIndex));
    if (!SetMenuTooltips(m_controls, kTooltips)) {
        return Fail(res::kInitTooltips, failure);
    }

    CreateStatusBar(m_owner.StatusFont(), m_owner.StatusCharWidth());
    if (const std::optional<FrameFailure> failed = CreatePaneFrame()) {
        return Fail(
            *failed == FrameFailure::kMissing ? res::kInitFrameMissing : res::kInitFrameFailed,
            failure);
    }
    // Each position shows the block the main window shows there.
    for (int p = 0; p < kPaneCount; ++p) {
        CPaneWnd* pane = m_frame->Pane(p);
        const CPaneWnd* mainPane = m_owner.Frame()->Pane(p);
        if (pane != nullptr && mainPane != nullptr) {
            pane->SetShownBlock(mainPane->ShownBlock());
        }
    }
    m_frame->SetPaneFont(&m_paneFont, false);

    adjustSize();
    setMinimumSize(size());
    WatchInput();
    RestorePlacement();
    for (int i = 0; i < res::kStatusPaneCount; ++i) {
        SetStatusText(i, {});
    }
    m_initialized = true;
    RefreshControls();
    return true;
}

void CSummaryDlg::RestorePlacement() {
    const PlacementRestore restored =
        RestoreWindowPlacement(this, m_owner.Settings().summaryWindow);
    LayoutClient();
    if (restored == PlacementRestore::kOffScreen) {
        Ui().Inform(res::kInitPlacement, FromQString(windowTitle()));
    }
    if (restored != PlacementRestore::kRestored) {
        m_frame->LayoutColumns(nullptr, true);
    }
}

void CSummaryDlg::StorePlacement() {
    if (!m_stored && m_initialized) {
        m_stored = true;
        StoreWindowPlacement(this, m_owner.Settings().summaryWindow);
    }
}

int32_t CSummaryDlg::Aggregate() {
    CTessaryCan* converter = LoadedConverter();
    if (converter == nullptr) {
        return kOpenResultCannotStart;
    }
    int offset = -1;
    const MessageRecord* top = m_owner.Frame()->TopRecord(&offset, true);
    m_mainTopRecord = top != nullptr ? static_cast<int64_t>(top->Index) : -1;

    m_aggregation = AggregationContext{};
    m_aggregation.kind = m_kind;
    m_aggregation.table = &m_frame->Table();
    m_aggregation.mainTable = &m_owner.Frame()->Table();
    m_search = m_owner.Conditions()[kSearchSlot];
    m_aggregation.search = &m_search;
    if (m_kind == AggregationKind::kRelatedCall) {
        m_aggregation.SetStart(m_start);
    }
    const bool visible = m_frame->HidePanes();
    const AggregationOutcome outcome =
        RunAggregation(*converter, m_aggregation, *this, this, m_owner.Flow());
    if (outcome.result == kStatusDone) {
        m_frame->SetPaneFont(nullptr, false);
        // The place the main window showed, restored as after a reconversion: its top record
        // or the next one taken here, moved down by the line offset when it is that record.
        const MessageRecord* record =
            m_mainTopRecord >= 0 ? converter->FindLaidOut(static_cast<uint32_t>(m_mainTopRecord))
                                 : nullptr;
        const DisplayLine* line =
            record != nullptr ? m_frame->Table().FirstLineOf(record) : nullptr;
        // A walk that ended with its call leaves the records after it with the lines of an
        // earlier aggregation.
        if (line != nullptr && m_frame->Table().RecordOf(line) == record) {
            if (record->Index == m_mainTopRecord && offset > 0 && offset < line->groupSize) {
                line = m_frame->Line(line->lineNumber + offset);
            }
            m_frame->ShowLine(line, false, false, true);
        }
    } else {
        m_frame->FreeText();
        if (!outcome.statusText.empty()) {
            m_owner.SetStatusText(0, outcome.statusText);
        }
        if (!outcome.message.empty()) {
            Ui().Warn(outcome.message, kAggregationTitle);
        }
    }
    if (visible) {
        m_frame->ShowPanes();
    }
    RefreshControls();
    return outcome.result;
}

int CSummaryDlg::DoModal() {
    std::u16string failure;
    if (!Initialize(&failure)) {
        Ui().Warn(failure, FromQString(windowTitle()));
        return -1;
    }
    const int32_t result = Aggregate();
    if (result != kStatusDone) {
        return result == kStatusStopped ? kSummaryCancelled : kSummaryFailed;
    }
    return exec();
}

bool CSummaryDlg::Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
                      const std::function<int(bool)>& control) {
    return CProgressDlg::RunPass((isVisible() ? static_cast<QWidget*>(this) : &m_owner), m_progress,
                                 title, subtitle, total, control) != kProgressRefused;
}

void CSummaryDlg::RefreshControls() {
    for (const res::ButtonCommand& entry : kButtons) {
        if (QWidget* button = Control(entry.control)) {
            button->setEnabled(m_commands.IsEnabled(entry.command));
        }
    }
}

void CSummaryDlg::PrepareContextItems(CPaneWnd*, int, int) {
    ApplyCommandStates(m_context, m_commands);
}

void CSummaryDlg::closeEvent(QCloseEvent* event) {
    // The close box, Alt+F4 and "閉じる" end the window; Esc (reject) does not.
    event->ignore();
    done(static_cast<int>(Answer::kCancel));
}

void CSummaryDlg::done(int result) {
    StorePlacement();
    QDialog::done(result);
}

}  // namespace tessary
