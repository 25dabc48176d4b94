#include "mainwnd/CSummaryDlg.h"

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
#include "mainwnd/QtPaneNotices.h"
#include "mainwnd/QtPlacement.h"
#include "mainwnd/QtSummaryContext.h"
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
    : QDialog(&owner), m_owner(owner), m_kind(kind), m_searchText(searchText) {
    if (start != nullptr) {
        m_start = *start;
    }
    m_frame = new CPaneFrame(this, owner.Frame()->Source());
    m_commandContext = std::make_unique<QtSummaryContext>(*this);
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

bool CSummaryDlg::ExecuteCommand(int id) {
    SetStatusText(0, {});
    const bool ran = m_commands.Execute(id);
    RefreshControls();
    return ran;
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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);
    m_client = new QWidget(this);
    layout->addWidget(m_client, 1);
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

    m_statusBar =
        CreateStatusPanes(this, m_owner.StatusFont(), m_owner.StatusCharWidth(), m_statusPanes);
    layout->addWidget(m_statusBar);
    m_controls[res::kIdcStatusBar] = m_statusBar;

    QWidget* placeholder = Control(res::kIdcPaneFrame);
    if (placeholder == nullptr || m_frame == nullptr) {
        return Fail(res::kInitFrameMissing, failure);
    }
    const QRect rect = placeholder->geometry();
    m_frameLeft = rect.left();
    m_frameTop = rect.top();
    m_frameRight = m_client->width() - (rect.x() + rect.width());
    m_frameBottom = m_client->height() - (rect.y() + rect.height());
    placeholder->hide();
    placeholder->setEnabled(false);
    if (!m_frame->Create(rect, m_client)) {
        return Fail(res::kInitFrameFailed, failure);
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
    m_notices = std::make_unique<QtPaneNotices>(QtPaneNotices::Window{
        m_frame, [this](int pane, std::u16string_view text) { SetStatusText(pane, text); },
        [this](int id) { return Control(id); }, [this] { RefreshControls(); }});

    adjustSize();
    setMinimumSize(size());
    m_client->installEventFilter(this);
    qApp->installEventFilter(this);
    new QtWheelRedirect(this);
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

void CSummaryDlg::PostNotify(uint32_t message, uintptr_t wParam, void* lParam) {
    PostAppMessage(this, static_cast<int>(message), static_cast<intptr_t>(wParam),
                   reinterpret_cast<intptr_t>(lParam));
}

QWidget* CSummaryDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

QString CSummaryDlg::StatusText(int pane) const {
    return StatusPaneText(m_statusPanes, pane);
}

void CSummaryDlg::SetStatusText(int pane, std::u16string_view text) {
    SetStatusPaneText(m_statusPanes, pane, text);
}

void CSummaryDlg::RefreshControls() {
    for (const res::ButtonCommand& entry : kButtons) {
        if (QWidget* button = Control(entry.control)) {
            button->setEnabled(m_commands.IsEnabled(entry.command));
        }
    }
}

void CSummaryDlg::LayoutClient() {
    if (m_client == nullptr || m_frame == nullptr || m_frame->parentWidget() != m_client) {
        return;
    }
    const QSize client = m_client->size();
    m_frame->setGeometry(m_frameLeft, m_frameTop,
                         std::max(0, client.width() - m_frameLeft - m_frameRight),
                         std::max(0, client.height() - m_frameTop - m_frameBottom));
}

bool CSummaryDlg::PrepareContextMenu(CPaneWnd* pane, int x, int y) {
    (void)x;
    if (m_context == nullptr || pane == nullptr) {
        return false;
    }
    m_contextPane = pane->Position();
    m_currentLine = pane->LineNumberAt(y);
    ApplyCommandStates(m_context, m_commands);
    return true;
}

bool CSummaryDlg::event(QEvent* event) {
    if (!QtAppEvent::IsAppMessage(event)) {
        return QDialog::event(event);
    }
    const auto* message = static_cast<const QtAppEvent*>(event);
    if (message->Message() == kMsgReaderNotify && m_notices != nullptr) {
        m_notices->ForwardReaderNotify(message->WParam(), message->LParam(), m_progress);
        return true;
    }
    if (QtPaneNotices::HandleWindowMessage(
            m_notices.get(), *message, m_context,
            [this](CPaneWnd* pane, int x, int y) { return PrepareContextMenu(pane, x, y); })) {
        return true;
    }
    return QDialog::event(event);
}

bool CSummaryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client) {
        if (event->type() == QEvent::Resize) {
            LayoutClient();
        } else if (QtAppEvent::IsAppMessage(event)) {
            // The pane frame lives in the client area and notifies it.
            return this->event(event);
        }
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn &&
        (watched == Control(res::kIdcLineNumber) || watched == Control(res::kIdcIndexNumber))) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
    } else if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
        SetStatusText(0, {});
    }
    return false;
}

void CSummaryDlg::keyPressEvent(QKeyEvent* event) {
    if (!HandleDialogKey(event, focusWidget(), m_controls,
                         [this](int id) { ExecuteCommand(id); })) {
        QDialog::keyPressEvent(event);
    }
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
