#include "mainwnd/CMainDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "calls/CCallListDlg.h"
#include "display/CPaneWnd.h"
#include "display/QtWheelRedirect.h"
#include "mainwnd/AggregationCommands.h"
#include "mainwnd/CallListCommands.h"
#include "mainwnd/ContextCommands.h"
#include "mainwnd/FileCommands.h"
#include "mainwnd/GoToCommands.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/QtMainContext.h"
#include "mainwnd/QtMainMenus.h"
#include "mainwnd/QtPaneNotices.h"
#include "mainwnd/QtPlacement.h"
#include "mainwnd/SearchCommands.h"
#include "mainwnd/SearchRule.h"
#include "mainwnd/ToolCommands.h"
#include "mainwnd/ViewCommands.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "platform/Trace.h"
#include "platform/Utf.h"
#include "resources/QtDialogControls.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "settings/BlockOrder.h"
#include "tools/CProgressDlg.h"
#include "tools/StartCorrection.h"

namespace tessary {
namespace {

constexpr int kTooltipWidthChars = 80;

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : QtPaneWindow(parent) {
    ResetSettings(m_settings);
    m_frame = new CPaneFrame(this, DisplaySource{&m_settings.para, m_conditions});
    m_flow = std::make_unique<OpenFlow>(&m_settings.para, &m_frame->Table(), this, &CurrentUi(),
                                        this, this);
    m_initialCaption = ToQString(res::FindDialogTemplate(res::kIddMain)->caption);
    setWindowTitle(m_initialCaption);
    setAcceptDrops(true);
    m_commandContext = std::make_unique<QtMainContext>(*this);
    m_menus = std::make_unique<QtMainMenus>(m_commands, [this](int id) { ExecuteCommand(id); });
    RegisterCommands();
}

CMainDlg::~CMainDlg() {
    qApp->removeEventFilter(this);
    StorePlacementAndOrder();
    // The call list's worker reads the converter's records.
    if (m_callList != nullptr) {
        m_callList->WaitForList();
    }
    // The flow frees the table (whose lines point into the converter) and the converter.
    m_flow.reset();
    delete m_frame;
    m_frame = nullptr;
}

void CMainDlg::RegisterCommands() {
    QtMainContext& context = *m_commandContext;
    m_fileCommands = std::make_unique<FileCommands>(context);
    m_searchCommands = std::make_unique<SearchCommands>(context);
    m_goToCommands = std::make_unique<GoToCommands>(context);
    m_viewCommands = std::make_unique<ViewCommands>(context);
    m_contextCommands = std::make_unique<ContextCommands>(context, res::kMenuContext);
    m_fileCommands->Register(m_commands);
    m_searchCommands->Register(m_commands);
    m_goToCommands->Register(m_commands);
    m_viewCommands->Register(m_commands);
    m_contextCommands->Register(m_commands);
    m_aggregationCommands = std::make_unique<AggregationCommands>(context, *m_searchCommands);
    m_aggregationCommands->Register(m_commands);
    m_toolCommands = std::make_unique<ToolCommands>(context);
    m_toolCommands->Register(m_commands);
    m_callListCommands = std::make_unique<CallListCommands>([this] { ShowCallList(); });
    m_callListCommands->Register(m_commands);
}

void CMainDlg::ShowCallList() {
    if (m_callList == nullptr) {
        m_callList = new calls::CCallListDlg(
            this, [this](uint32_t setupIndex) { OpenCallAggregation(setupIndex); });
        RestoreWindowPlacement(m_callList, m_settings.callListWindow);
        m_callList->Follow(LoadedConverter());
    }
    m_callList->show();
    m_callList->raise();
    m_callList->activateWindow();
}

void CMainDlg::OpenCallAggregation(uint32_t setupIndex) {
    const CTessaryCan* converter = LoadedConverter();
    if (converter == nullptr || setupIndex >= converter->LineCount()) {
        return;
    }
    // The aggregation starts from the main window's selection line.
    const MessageRecord* setup = converter->Record(setupIndex);
    if (setup == nullptr || setup->RowSlot[0] < 0) {
        return;
    }
    m_commandContext->ShowLine(setup->RowSlot[0], true, true, false);
    ExecuteCommand(res::kCmdCallAggregate);
}

// ---------------------------------------------------------------------------------------
// Start-up

bool CMainDlg::Fail(StartStep step, std::u16string& messages, std::u16string* failure) const {
    static constexpr std::u16string_view kTexts[] = {
        res::kInitContextMenu, res::kInitAccelerators, res::kInitRecentMenu,
        res::kInitSamples,     res::kInitFontSizes,    res::kInitContextMenu,
        res::kInitFonts,       res::kInitSearchCombo,  res::kInitTooltips,
        res::kInitStatusBar,   res::kInitFrameMissing, res::kInitFrameFailed,
    };
    if (!messages.empty()) {
        messages += u"\n";
    }
    messages += kTexts[static_cast<int>(step)];
    if (step == StartStep::kSearchBox) {
        messages += u"\n";
        messages += res::kInitMainDisplay;
    }
    if (failure != nullptr) {
        *failure = messages;
    }
    return false;
}

bool CMainDlg::Initialize(std::u16string* failure) {
    if (m_initialized) {
        return true;
    }
    std::u16string messages;
    const MenuCommand command = [this](int id) { ExecuteCommand(id); };
    // The window icon and the layout that holds menu, client area and status bar.
    setWindowIcon(AppIcon());
    CreateClientArea();
    if (!m_menus->BuildBar(m_menuBar)) {
        return Fail(StartStep::kMenus, messages, failure);
    }
    if (!InstallAccelerators(this, res::kAcceleratorMain, command)) {
        return Fail(StartStep::kAccelerators, messages, failure);
    }
    NormalizeBlockIndents(m_settings.para);
    if (CheckBlockDefOrder(m_settings.para)) {
        Trace("MainDlg::CheckBlockDefOrder() : block positions reset to 0-3\n");
    }
    CompileRules();
    switch (m_menus->BuildItems(m_settings.recentFiles)) {
        case QtMainMenus::Failure::kNone:
            break;
        case QtMainMenus::Failure::kRecent:
            return Fail(StartStep::kRecentMenu, messages, failure);
        case QtMainMenus::Failure::kSamples:
            return Fail(StartStep::kSearchSamples, messages, failure);
        case QtMainMenus::Failure::kFontSizes:
            return Fail(StartStep::kFontSizes, messages, failure);
        default:
            return Fail(StartStep::kContextMenu, messages, failure);
    }
    if (!CreateFonts()) {
        return Fail(StartStep::kFonts, messages, failure);
    }
    if (!CreateControls()) {
        return Fail(StartStep::kSearchBox, messages, failure);
    }
    // The legend's place in the client area.
    m_legendLeft = m_legend->x();
    m_legendTop = m_legend->y();
    m_legendRight = m_client->width() - (m_legend->x() + m_legend->width());
    m_legendHeight = m_legend->height();
    // Tooltips: the go-to buttons', the others' from their menu items.
    QToolTip::setFont(m_tipFont);
    SetControlTip(Control(res::kIdcGoLine), ToQString(res::kTipGoLine));
    SetControlTip(Control(res::kIdcGoIndex), ToQString(res::kTipGoIndex));
    if (kTooltipWidthChars * QFontMetrics(m_tipFont).averageCharWidth() <= 0 ||
        !SetMenuTooltips(m_controls, res::MainMenuTooltips())) {
        return Fail(StartStep::kTooltips, messages, failure);
    }
    CreateStatusBar(m_statusFont, m_statusCharWidth);
    if (m_statusBar->height() < 0) {
        return Fail(StartStep::kStatusBar, messages, failure);
    }
    if (const std::optional<FrameFailure> failed = CreatePaneFrame()) {
        return Fail(
            *failed == FrameFailure::kMissing ? StartStep::kFrameMissing : StartStep::kFrameFailed,
            messages, failure);
    }
    // The stored pane order comes back.
    int blocks[kBlockCount];
    PaneBlocksOf(m_settings.para, blocks);
    for (int p = 0; p < kPaneCount; ++p) {
        if (CPaneWnd* pane = m_frame->Pane(p)) {
            pane->SetShownBlock(blocks[p]);
        }
    }
    m_frame->SetPaneFont(&m_paneFont, false);
    adjustSize();
    m_initialSize = size();
    setMinimumSize(m_initialSize);
    WatchInput();
    RestorePlacement();
    m_initialized = true;
    UpdateState(WindowState::kNoFile);
    return true;
}

int CMainDlg::DoModal() {
    std::u16string failure;
    if (!Initialize(&failure)) {
        Ui().Warn(failure, FromQString(m_initialCaption));
        return -1;
    }
    return exec();
}

void CMainDlg::CompileRules() {
    CanPara& para = m_settings.para;
    for (size_t i = 0; i < kSearchSlot; ++i) {
        const std::u16string_view definition = SlotText(para.MarkIfText[i]);
        const int result = m_conditions[i].Compile(definition, para.SpcCnt);
        if (result != 0) {
            Trace("MainDlg::OnInitDialog() : SetFocusText(%d, '%s') Error = %d\n",
                  static_cast<int>(i), Utf8(definition).c_str(), result);
            para.MarkIfText[i][0] = u'\0';
            m_conditions[i].Clear();
        }
    }
}

bool CMainDlg::RefillSearchList() {
    if (m_search == nullptr) {
        return false;
    }
    // The edit text stays as it is; only the list follows the history.
    const QString text = m_search->currentText();
    m_search->clear();
    for (const std::u16string& entry : m_settings.searchHistory) {
        if (!entry.empty()) {
            m_search->addItem(ToQString(entry));
        }
    }
    m_search->setEditText(text);
    return true;
}

bool CMainDlg::CreateFonts() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddMain);
    m_dialogFont = TemplateFont(ToQString(dialog->fontFace), dialog->pointSize);
    setFont(m_dialogFont);
    const QFontMetrics metrics(m_dialogFont);
    int tenths = metrics.height() * 720 / std::max(1, logicalDpiY());
    if (tenths <= 0) {
        tenths = dialog->pointSize * 10;
    }
    m_fixedFont = FixedFont(tenths);
    m_tipFont = FixedFont(tenths + 10);
    m_statusFont = FixedFont(tenths + 10);
    m_statusCharWidth = QFontMetrics(m_statusFont).averageCharWidth();
    m_paneFont = MakePaneFont(m_settings.paneFontPoint);
    return m_statusCharWidth > 0 && QFontMetrics(m_paneFont).height() > 0;
}

bool CMainDlg::CreateControls() {
    const TemplateControls created = CreateTemplateControls(
        m_client, *res::FindDialogTemplate(res::kIddMain), m_dialogFont, m_fixedFont);
    m_controls = created.byId;
    m_search = created.search;
    m_legend = created.legend;
    for (const res::ButtonCommand& entry : res::MainButtonCommands()) {
        if (auto* button = qobject_cast<QPushButton*>(Control(entry.control))) {
            const int command = entry.command;
            connect(button, &QPushButton::clicked, this,
                    [this, command] { ExecuteCommand(command); });
        }
    }
    if (m_search == nullptr || m_legend == nullptr) {
        return false;
    }
    m_search->lineEdit()->installEventFilter(this);
    for (int edit : {res::kIdcLineNumber, res::kIdcIndexNumber}) {
        if (QWidget* control = Control(edit)) {
            control->installEventFilter(this);
        }
    }
    // The search box: the current search text above the history.
    const bool filled = RefillSearchList();
    m_search->setEditText(ToQString(SearchRuleText(m_settings.para)));
    return filled;
}

void CMainDlg::RestorePlacement() {
    const PlacementRestore restored = RestoreWindowPlacement(this, m_settings.mainWindow);
    LayoutClient();
    if (restored == PlacementRestore::kOffScreen) {
        Ui().Inform(res::kInitPlacement, FromQString(windowTitle()));
    }
    if (restored != PlacementRestore::kRestored) {
        m_frame->LayoutColumns(nullptr, true);
    }
}

// ---------------------------------------------------------------------------------------
// Window state

void CMainDlg::UpdateState(WindowState mode) {
    CTessaryCan* converter = LoadedConverter();
    switch (mode) {
        case WindowState::kNoFile:
            setWindowTitle(m_initialCaption);
            if (m_legend != nullptr) {
                m_legend->clear();
                m_legend->setToolTip(QString());
            }
            m_frame->FreeText();
            for (int i = 0; i < res::kStatusPaneCount; ++i) {
                SetStatusText(i, {});
            }
            m_savedRecord = -1;
            m_savedOffset = -1;
            break;
        case WindowState::kLoaded: {
            if (converter == nullptr) {
                break;
            }
            setWindowTitle(QFileInfo(QString::fromStdString(LoadedPath())).fileName() +
                           ToQString(res::kTitleSeparator) + m_initialCaption);
            const std::u16string legend = converter->LY1Legend(-1);
            if (m_legend != nullptr) {
                m_legend->setText(ToQString(legend));
                m_legend->setToolTip(ToQString(LegendTooltipText(legend)));
            }
            m_frame->SetPaneFont(nullptr, false);
            std::u16string notes = FromQString(StatusText(4));
            if (AppendHeaderNotes(notes, *converter)) {
                SetStatusText(4, notes);
            }
            break;
        }
        case WindowState::kReconverting:
            KeepTopRecord();
            m_frame->FreeText();
            break;
        case WindowState::kReconverted:
            m_frame->SetPaneFont(nullptr, false);
            RestoreTopRecord();
            break;
    }
    if (m_callList != nullptr) {
        // The list follows the log: emptied while the store is rebuilt, made anew after.
        const bool ready = mode == WindowState::kLoaded || mode == WindowState::kReconverted;
        m_callList->Follow(ready ? converter : nullptr);
    }
    RefreshControls();
}

void CMainDlg::KeepTopRecord() {
    int offset = -1;
    const MessageRecord* top = m_frame->TopRecord(&offset, true);
    m_savedRecord = top != nullptr ? static_cast<int64_t>(top->Index) : -1;
    m_savedOffset = offset;
}

// The kept record, or the first later one that has lines now, comes back into view; the kept
// offset moves the view down within the record's own lines.
void CMainDlg::RestoreTopRecord() {
    CTessaryCan* converter = LoadedConverter();
    if (converter != nullptr && m_savedRecord >= 0) {
        const auto index = static_cast<uint32_t>(m_savedRecord);
        const MessageRecord* record = converter->FindLaidOut(index);
        const DisplayLine* line =
            record != nullptr ? m_frame->Table().FirstLineOf(record) : nullptr;
        if (line != nullptr) {
            if (record->Index == index && m_savedOffset > 0 && m_savedOffset < line->groupSize) {
                line = m_frame->Line(line->lineNumber + m_savedOffset);
            }
            m_frame->ShowLine(line, false, false, true);
        }
    }
    m_savedRecord = -1;
    m_savedOffset = -1;
}

bool CMainDlg::SetPaneFontPoint(int tenths) {
    const QFont font = MakePaneFont(tenths);
    if (QFontMetrics(font).height() <= 0) {
        return false;
    }
    KeepTopRecord();
    const bool visible = HidePanes();
    m_paneFont = font;
    m_frame->SetPaneFont(&m_paneFont, false);
    RestoreTopRecord();
    if (visible) {
        ShowPanes();
    }
    return true;
}

QString CMainDlg::LegendText() const {
    return m_legend != nullptr ? m_legend->text() : QString();
}

QString CMainDlg::LegendToolTip() const {
    return m_legend != nullptr ? m_legend->toolTip() : QString();
}

std::u16string CMainDlg::Caption() const {
    return FromQString(m_initialCaption);
}

std::u16string CMainDlg::CopyHeading() const {
    const CTessaryCan* converter = LoadedConverter();
    return converter != nullptr ? converter->LY1Legend(-1) : std::u16string();
}

std::u16string CMainDlg::MenuItemText(int id) const {
    return m_menus->ItemText(id);
}

QAction* CMainDlg::MenuAction(int id) const {
    return m_menus->Action(id);
}

QMenu* CMainDlg::ContextMenu() const {
    return m_menus->Context();
}

// Buttons follow their commands; the selection edits are live while a file is loaded.
void CMainDlg::RefreshControls() {
    for (const res::ButtonCommand& entry : res::MainButtonCommands()) {
        if (QWidget* button = Control(entry.control)) {
            button->setEnabled(m_commands.IsEnabled(entry.command));
        }
    }
    const bool loaded = LoadedConverter() != nullptr;
    for (int id : {res::kIdcLineNumber, res::kIdcIndexNumber, res::kIdcSelectionTime}) {
        if (QWidget* edit = Control(id)) {
            edit->setEnabled(loaded);
        }
    }
}

void CMainDlg::LayoutClient() {
    if (m_client != nullptr && m_legend != nullptr) {
        m_legend->setGeometry(m_legendLeft, m_legendTop,
                              std::max(0, m_client->width() - m_legendLeft - m_legendRight),
                              m_legendHeight);
    }
    PlaceFrame();
}

// ---------------------------------------------------------------------------------------
// Opening and searching

int32_t CMainDlg::Open(const PathString& path, int lineChoice) {
    if (!ConfirmLeaving(LoadedConverter(), false, Ui())) {
        return kStatusNoLog;
    }
    const int32_t result = m_flow->Open(path, lineChoice);
    RefreshControls();
    return result;
}

int32_t CMainDlg::Reconvert(int lineChoice) {
    const int32_t result = m_flow->Reconvert(lineChoice);
    RefreshControls();
    return result;
}

int32_t CMainDlg::OpenAndRemember(const PathString& path, int lineChoice) {
    return m_fileCommands->OpenAndRemember(path, lineChoice);
}

int CMainDlg::Search(std::u16string_view text, int direction) {
    return m_searchCommands->Search(text, direction);
}

bool CMainDlg::HidePanes() {
    return m_frame->HidePanes();
}

void CMainDlg::ShowPanes() {
    m_frame->ShowPanes();
}

void CMainDlg::ClearSearch() {
    m_conditions[kSearchSlot].Clear();
}

bool CMainDlg::PostSecondPass() {
    PostAppMessage(this, kMsgReaderNotify, 0, 0);
    return true;
}

bool CMainDlg::Run(std::u16string_view title, std::u16string_view subtitle, uint32_t total,
                   const std::function<int(bool)>& control) {
    return CProgressDlg::RunPass(this, m_progress, title, subtitle, total, control) !=
           kProgressRefused;
}

// ---------------------------------------------------------------------------------------
// Messages

void CMainDlg::OnReaderNotify(intptr_t wParam, intptr_t lParam) {
    if (lParam == 0) {
        Reconvert(kLineSecondPass);
    } else {
        QtPaneWindow::OnReaderNotify(wParam, lParam);
    }
}

void CMainDlg::PrepareContextItems(CPaneWnd* pane, int x, int y) {
    m_menus->PrepareContext(pane->WordAt(x, y), m_contextCommands->LapdDetail());
}

// ---------------------------------------------------------------------------------------
// Keys, mouse, drops, closing

bool CMainDlg::FilterKey(QObject* watched, QKeyEvent* key) {
    // The key reaches the combo box or its edit field, depending on how it got the focus.
    if (m_search == nullptr || (watched != m_search && watched != m_search->lineEdit())) {
        return false;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) {
        return false;
    }
    // A held Enter does not search again and again.
    if (!key->isAutoRepeat()) {
        ExecuteCommand(res::kCmdFindNext);
    }
    return true;
}

void CMainDlg::reject() {}

void CMainDlg::accept() {}

void CMainDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (IsConverting()) {
        return;
    }
    if (!ConfirmLeaving(LoadedConverter(), true, Ui())) {
        return;
    }
    done(static_cast<int>(Answer::kCancel));
}

void CMainDlg::done(int result) {
    StorePlacementAndOrder();
    QDialog::done(result);
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainDlg::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    // The whole path: a path cut to a fixed buffer could name another file.
    OpenAndRemember(urls.front().toLocalFile().toStdString(), kLineAsk);
}

void CMainDlg::StorePlacementAndOrder() {
    if (m_stored || !m_initialized) {
        return;
    }
    m_stored = true;
    StoreWindowPlacement(this, m_settings.mainWindow);
    if (m_callList != nullptr) {
        StoreWindowPlacement(m_callList, m_settings.callListWindow);
    }
    int blocks[kBlockCount];
    for (int p = 0; p < kPaneCount; ++p) {
        const CPaneWnd* pane = m_frame->Pane(p);
        blocks[p] = pane != nullptr ? pane->ShownBlock() : p;
    }
    WritePaneOrder(m_settings.para, blocks);
}

}  // namespace tessary
