#include "mainwnd/CMainDlg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>

#include "decode/SearchDefinition.h"
#include "display/CPaneWnd.h"
#include "logfile/Status.h"
#include "mainwnd/CopyText.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/QtMenus.h"
#include "platform/DigitGroup.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "platform/Trace.h"
#include "platform/Utf.h"
#include "resources/DialogTables.h"
#include "resources/MenuTables.h"
#include "resources/MenuText.h"
#include "resources/QtFonts.h"
#include "resources/ResourceIds.h"
#include "resources/WindowTexts.h"
#include "settings/BlockOrder.h"
#include "tools/CProgressDlg.h"
#include "tools/HeaderText.h"
#include "tools/StartCorrection.h"

namespace tessary {
namespace {

QString Q(std::u16string_view text) {
    return ToQString(text);
}

std::u16string U(const QString& text) {
    return FromQString(text);
}

// Buttons of template 131 and the command each runs. The go-to buttons are commands of
// their own, as Enter in their edits runs them too.
struct ButtonCommand {
    int control;
    int command;
};
constexpr ButtonCommand kButtonCommands[] = {
    {res::kIdcGoLine, res::kIdcGoLine},
    {res::kIdcGoIndex, res::kIdcGoIndex},
    {res::kIdcShowSelection, res::kCmdShowSelection},
    {res::kIdcSwapBc, res::kCmdSwapBc},
    {res::kIdcSearchAggregate, res::kCmdSearchAggregate},
    {res::kIdcCallAggregate, res::kCmdCallAggregate},
    {res::kIdcFindNext, res::kCmdFindNext},
    {res::kIdcFindPrevious, res::kCmdFindPrevious},
    {res::kIdcReload, res::kCmdReload},
};

// Tooltips of buttons taken from menu items: (control, menu, command).
struct MenuTip {
    int control;
    int menu;
    int command;
};
constexpr MenuTip kMenuTips[] = {
    {res::kIdcShowSelection, res::kMenuMain, res::kCmdShowSelection},
    {res::kIdcFindNext, res::kMenuMain, res::kCmdFindNext},
    {res::kIdcFindPrevious, res::kMenuMain, res::kCmdFindPrevious},
    {res::kIdcSearchAggregate, res::kMenuMain, res::kCmdSearchAggregate},
    {res::kIdcCallAggregate, res::kMenuMain, res::kCmdCallAggregate},
    {res::kIdcSwapBc, res::kMenuMain, res::kCmdSwapBc},
    {res::kIdcReload, res::kMenuContext, res::kCmdReload},
};

constexpr int kTooltipDelayMs = 32767;
constexpr int kTooltipWidthChars = 80;

// The text after a definition's last ';' becomes the pane position (";;" and the position
// are appended to a definition without ';').
void WritePosition(char16_t (&slot)[kBlockDefUnits], int position) {
    std::u16string text(SlotText(slot));
    const size_t semicolon = text.rfind(u';');
    if (semicolon == std::u16string::npos) {
        text += u";;";
    } else {
        text.erase(semicolon + 1);
    }
    text += static_cast<char16_t>(u'0' + position);
    CopyToSlot(slot, text);
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent) {
    ResetSettings(m_settings);
    m_frame = new CPaneFrame(this, DisplaySource{&m_settings.para, m_conditions});
    m_flow = std::make_unique<OpenFlow>(&m_settings.para, &m_frame->Table(), this, &CurrentUi(),
                                        this, this);
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddMain);
    m_initialCaption = Q(dialog->caption);
    setWindowTitle(m_initialCaption);
    setAcceptDrops(true);
    RegisterOwnCommands();
}

CMainDlg::~CMainDlg() {
    qApp->removeEventFilter(this);
    StorePlacementAndOrder();
    // The flow frees the table (whose lines point into the converter) and the converter.
    m_flow.reset();
    delete m_frame;
    m_frame = nullptr;
    delete m_context;
}

std::function<void(int)> CMainDlg::Command() {
    return [this](int id) { ExecuteCommand(id); };
}

const PathString& CMainDlg::LoadedPath() const {
    return m_flow->LoadedPath();
}

// ---------------------------------------------------------------------------------------
// Start-up

bool CMainDlg::Initialize(std::u16string* failure) {
    std::u16string messages;
    const auto fail = [&](std::u16string_view text) {
        if (!messages.empty()) {
            messages += u"\n";
        }
        messages += text;
        if (failure != nullptr) {
            *failure = messages;
        }
        return false;
    };
    if (m_initialized) {
        return true;
    }
    // 1. Window icon, caption and the layout that holds menu, client area and status bar.
    setWindowIcon(AppIcon());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);
    m_client = new QWidget(this);
    layout->addWidget(m_client, 1);
    if (!BuildMenus()) {
        return fail(res::kInitContextMenu);
    }
    // 2.
    if (!LoadAccelerators()) {
        return fail(res::kInitAccelerators);
    }
    // 3. Indents and the block order.
    NormalizeBlockIndents(m_settings.para);
    if (CheckBlockDefOrder(m_settings.para)) {
        Trace("MainDlg::CheckBlockDefOrder() : block positions reset to 0-3\n");
    }
    // 4.
    CompileRules();
    // 5.-8.
    if (!BuildRecentMenu()) {
        return fail(res::kInitRecentMenu);
    }
    if (!BuildSearchSamples()) {
        return fail(res::kInitSamples);
    }
    if (!BuildFontSizes()) {
        return fail(res::kInitFontSizes);
    }
    if (!LoadContextMenu()) {
        return fail(res::kInitContextMenu);
    }
    // 9.
    if (!CreateFonts()) {
        return fail(res::kInitFonts);
    }
    CreateControls();
    // 10.
    if (!FillSearchCombo()) {
        fail(res::kInitSearchCombo);
        return fail(res::kInitMainDisplay);
    }
    // 11. The legend's place in the client area.
    const QSize client = m_client->size();
    m_legendLeft = m_legend->x();
    m_legendTop = m_legend->y();
    m_legendRight = client.width() - (m_legend->x() + m_legend->width());
    m_legendHeight = m_legend->height();
    // 12.-13.
    if (!CreateTooltips()) {
        return fail(res::kInitTooltips);
    }
    if (!CreateStatusBar()) {
        return fail(res::kInitStatusBar);
    }
    // 14.
    switch (CreatePaneFrame()) {
        case 1:
            return fail(res::kInitFrameMissing);
        case 2:
            return fail(res::kInitFrameFailed);
        default:
            break;
    }
    // 15. The stored pane order comes back.
    int blocks[kBlockCount];
    PaneBlocksOf(m_settings.para, blocks);
    for (int p = 0; p < kPaneCount; ++p) {
        if (CPaneWnd* pane = m_frame->Pane(p)) {
            pane->SetShownBlock(blocks[p]);
        }
    }
    m_frame->SetPaneFont(&m_paneFont, false);
    // Initial size, also the minimum size.
    adjustSize();
    m_initialSize = size();
    setMinimumSize(m_initialSize);
    m_client->installEventFilter(this);
    qApp->installEventFilter(this);
    // 16.-17.
    RestorePlacement();
    m_initialized = true;
    UpdateState(-1);
    return true;
}

int CMainDlg::DoModal() {
    std::u16string failure;
    if (!Initialize(&failure)) {
        Ui().ShowMessage(failure, U(m_initialCaption), MessageIcon::kExclamation,
                         MessageButtons::kOk);
        return -1;
    }
    return exec();
}

bool CMainDlg::BuildMenus() {
    return BuildMenuBar(
        m_menuBar, res::kMenuMain, [this](int id) { ExecuteCommand(id); },
        [this](QMenu* popup) { UpdateMenuState(popup); }, m_actions);
}

bool CMainDlg::LoadAccelerators() {
    return InstallAccelerators(this, res::kAcceleratorMain, [this](int id) { ExecuteCommand(id); });
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

bool CMainDlg::BuildRecentMenu() {
    const auto anchor = m_actions.find(res::kCmdClearRecent);
    if (anchor == m_actions.end()) {
        return false;
    }
    QMenu* menu = qobject_cast<QMenu*>(anchor->second->parent());
    if (menu == nullptr) {
        return false;
    }
    for (int id = res::kCmdRecentFirst; id <= res::kCmdRecentLast; ++id) {
        const auto found = m_actions.find(id);
        if (found != m_actions.end()) {
            menu->removeAction(found->second);
            delete found->second;
            m_actions.erase(found);
        }
    }
    int id = res::kCmdRecentFirst;
    for (const std::u16string& path : m_settings.recentFiles) {
        if (path.empty() || id > res::kCmdRecentLast) {
            continue;
        }
        const QString text =
            QStringLiteral("&%1 %2").arg((id - res::kCmdRecentFirst) % 10).arg(Q(path));
        m_actions.emplace(id, InsertMenuItem(menu, anchor->second, id, text, Command()));
        ++id;
    }
    return true;
}

bool CMainDlg::BuildSearchSamples() {
    const auto placeholder = m_actions.find(res::kCmdSampleFirst);
    if (placeholder == m_actions.end()) {
        return false;
    }
    QMenu* menu = qobject_cast<QMenu*>(placeholder->second->parent());
    if (menu == nullptr) {
        return false;
    }
    for (const res::SearchSample& sample : res::SearchSamples()) {
        if (sample.id == res::kCmdSampleFirst) {
            placeholder->second->setText(Q(sample.text));
            continue;
        }
        m_actions.emplace(sample.id, InsertMenuItem(menu, placeholder->second, sample.id,
                                                    Q(sample.text), Command()));
    }
    return true;
}

bool CMainDlg::BuildFontSizes() {
    const auto placeholder = m_actions.find(res::kCmdFontSizeFirst);
    if (placeholder == m_actions.end()) {
        return false;
    }
    QMenu* menu = qobject_cast<QMenu*>(placeholder->second->parent());
    if (menu == nullptr) {
        return false;
    }
    int id = res::kCmdFontSizeTop;
    for (int tenths = kPaneFontPointMin; tenths < kPaneFontPointMax;
         tenths += kPaneFontPointStep, --id) {
        m_actions.emplace(id, InsertMenuItem(menu, placeholder->second, id,
                                             Q(res::FontSizeText(tenths)), Command()));
    }
    placeholder->second->setText(Q(res::FontSizeText(kPaneFontPointMax)));
    return id == res::kCmdFontSizeFirst;
}

bool CMainDlg::LoadContextMenu() {
    m_context = BuildPopupMenu(res::kMenuContext, 0, Command());
    if (m_context == nullptr) {
        return false;
    }
    connect(m_context, &QMenu::aboutToShow, this, [this] { UpdateContextItems(); });
    for (int id = res::kCmdCopyWord; id <= res::kCmdCorrectLine; ++id) {
        const std::u16string_view text = res::MenuItemText(res::kMenuContext, id);
        if (text.empty()) {
            return false;
        }
        m_contextTemplates[id - res::kCmdCopyWord] = std::u16string(text);
    }
    return true;
}

bool CMainDlg::CreateFonts() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddMain);
    m_dialogFont = TemplateFont(Q(dialog->fontFace), dialog->pointSize);
    setFont(m_dialogFont);
    const QFontMetrics metrics(m_dialogFont);
    const int dpi = std::max(1, logicalDpiY());
    int tenths = metrics.height() * 720 / dpi;
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

void CMainDlg::CreateControls() {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kIddMain);
    const QFontMetrics metrics(m_dialogFont);
    const int baseX = std::max(1, metrics.averageCharWidth());
    const int baseY = std::max(1, metrics.height());
    const auto px = [&](int x, int y, int cx, int cy) {
        return QRect(x * baseX / 4, y * baseY / 8, cx * baseX / 4, cy * baseY / 8);
    };
    m_client->setMinimumSize(dialog->cx * baseX / 4, dialog->cy * baseY / 8);
    m_client->resize(m_client->minimumSize());
    for (const res::DialogControl& control : dialog->controls) {
        QRect rect = px(control.x, control.y, control.cx, control.cy);
        QWidget* widget = nullptr;
        switch (control.kind) {
            case res::ControlKind::kGroupBox:
                widget = new QGroupBox(Q(control.text), m_client);
                break;
            case res::ControlKind::kButton:
            case res::ControlKind::kDefaultButton: {
                auto* button = new QPushButton(Q(control.text), m_client);
                button->setAutoDefault(false);
                widget = button;
                for (const ButtonCommand& entry : kButtonCommands) {
                    if (entry.control == control.id) {
                        const int command = entry.command;
                        connect(button, &QPushButton::clicked, this,
                                [this, command] { ExecuteCommand(command); });
                    }
                }
                break;
            }
            case res::ControlKind::kEdit:
            case res::ControlKind::kReadOnlyEdit: {
                auto* edit = new QLineEdit(m_client);
                edit->setReadOnly(control.kind == res::ControlKind::kReadOnlyEdit);
                edit->setFont(m_fixedFont);
                widget = edit;
                break;
            }
            case res::ControlKind::kComboBox: {
                m_search = new QComboBox(m_client);
                m_search->setEditable(true);
                m_search->setInsertPolicy(QComboBox::NoInsert);
                m_search->setFont(m_fixedFont);
                m_search->lineEdit()->installEventFilter(this);
                rect.setHeight(13 * baseY / 8);
                widget = m_search;
                break;
            }
            case res::ControlKind::kStatic:
                if (control.id == res::kIdcLegend) {
                    m_legend = new QLabel(m_client);
                    widget = m_legend;
                } else {
                    auto* label = new QLabel(Q(control.text), m_client);
                    widget = label;
                }
                break;
            default:
                break;
        }
        if (widget == nullptr) {
            continue;
        }
        widget->setGeometry(rect);
        widget->setProperty("controlId", control.id);
        if (control.id > 0) {
            m_controls[control.id] = widget;
        }
        if (control.kind == res::ControlKind::kGroupBox) {
            widget->lower();
        }
    }
}

bool CMainDlg::FillSearchCombo() {
    if (m_search == nullptr) {
        return false;
    }
    const DefinitionFields fields =
        ParseDefinition(SlotText(m_settings.para.MarkIfText[kSearchSlot]));
    m_search->clear();
    for (const std::u16string& entry : m_settings.searchHistory) {
        if (!entry.empty()) {
            m_search->addItem(Q(entry));
        }
    }
    m_search->setEditText(Q(fields.pattern));
    return true;
}

bool CMainDlg::CreateTooltips() {
    QToolTip::setFont(m_tipFont);
    const int maxWidth = kTooltipWidthChars * QFontMetrics(m_tipFont).averageCharWidth();
    const auto tip = [&](int id, const QString& text) {
        QWidget* widget = Control(id);
        if (widget == nullptr) {
            return false;
        }
        widget->setToolTip(text);
        widget->setToolTipDuration(kTooltipDelayMs);
        return true;
    };
    bool ok =
        tip(res::kIdcGoLine, Q(res::kTipGoLine)) && tip(res::kIdcGoIndex, Q(res::kTipGoIndex));
    for (const MenuTip& entry : kMenuTips) {
        const std::u16string_view text = res::MenuItemText(entry.menu, entry.command);
        ok = ok && !text.empty() && tip(entry.control, Q(res::TooltipFromMenuText(text)));
    }
    ok = ok && tip(res::kIdcLegend, QString());
    return ok && maxWidth > 0;
}

bool CMainDlg::CreateStatusBar() {
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusBar1100"));
    m_statusBar->setFont(m_statusFont);
    m_statusBar->setSizeGripEnabled(true);
    static_cast<QVBoxLayout*>(layout())->addWidget(m_statusBar);
    for (int i = 0; i < res::kStatusPaneCount; ++i) {
        const res::StatusPane& pane = res::kStatusPanes[i];
        auto* label = new QLabel(m_statusBar);
        label->setFont(m_statusFont);
        label->setToolTip(Q(pane.tooltip));
        label->setToolTipDuration(kTooltipDelayMs);
        if (pane.width == 0) {
            m_statusBar->addWidget(label, 1);
        } else {
            label->setFixedWidth(m_statusCharWidth * (pane.width + 1));
            m_statusBar->addPermanentWidget(label);
        }
        m_statusPanes[i] = label;
    }
    m_controls[res::kIdcStatusBar] = m_statusBar;
    return m_statusBar->height() >= 0;
}

int CMainDlg::CreatePaneFrame() {
    QWidget* placeholder = Control(res::kIdcPaneFrame);
    if (placeholder == nullptr || m_frame == nullptr) {
        return 1;
    }
    const QRect rect = placeholder->geometry();
    const QSize client = m_client->size();
    m_frameLeft = rect.left();
    m_frameTop = rect.top();
    m_frameRight = client.width() - (rect.x() + rect.width());
    m_frameBottom = client.height() - (rect.y() + rect.height());
    placeholder->hide();
    placeholder->setEnabled(false);
    if (!m_frame->Create(rect, m_client)) {
        return 2;
    }
    m_frame->setProperty("controlId", res::kIdcPaneFrame);
    return 0;
}

void CMainDlg::RestorePlacement() {
    const WindowPlacement& placement = m_settings.mainWindow;
    const QRect rect(placement.left, placement.top, placement.right - placement.left,
                     placement.bottom - placement.top);
    if (rect.width() <= 0 || rect.height() <= 0) {
        LayoutClient();
        m_frame->LayoutColumns(nullptr, true);
        return;
    }
    if (QGuiApplication::screenAt(rect.center()) == nullptr) {
        Ui().ShowMessage(res::kInitPlacement, U(windowTitle()), MessageIcon::kInformation,
                         MessageButtons::kOk);
        LayoutClient();
        m_frame->LayoutColumns(nullptr, true);
        return;
    }
    setGeometry(rect);
    if (placement.showCmd == kShowMaximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    LayoutClient();
}

// ---------------------------------------------------------------------------------------
// Window state

void CMainDlg::UpdateState(int mode) {
    CTessaryCan* converter = LoadedConverter();
    switch (mode) {
        case -1:
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
        case 0: {
            if (converter == nullptr) {
                break;
            }
            setWindowTitle(QFileInfo(QString::fromStdString(LoadedPath())).fileName() +
                           Q(res::kTitleSeparator) + m_initialCaption);
            const std::u16string legend = converter->LY1Legend(-1);
            if (m_legend != nullptr) {
                m_legend->setText(Q(legend));
                m_legend->setToolTip(Q(LegendTooltipText(legend)));
            }
            m_frame->SetPaneFont(nullptr, false);
            std::u16string notes = U(StatusText(4));
            if (AppendHeaderNotes(notes, *converter)) {
                SetStatusText(4, notes);
            }
            break;
        }
        case 1: {
            int offset = -1;
            const MessageRecord* top = m_frame->TopRecord(&offset, true);
            m_savedRecord = top != nullptr ? static_cast<int64_t>(top->Index) : -1;
            m_savedOffset = offset;
            m_frame->FreeText();
            break;
        }
        case 2: {
            m_frame->SetPaneFont(nullptr, false);
            if (converter != nullptr && m_savedRecord >= 0) {
                const auto index = static_cast<uint32_t>(m_savedRecord);
                const MessageRecord* record = converter->FindLaidOut(index);
                const DisplayLine* line =
                    record != nullptr ? m_frame->Table().FirstLineOf(record) : nullptr;
                if (line != nullptr) {
                    if (record->Index == index && m_savedOffset > 0 &&
                        m_savedOffset < line->groupSize) {
                        line = m_frame->Line(line->lineNumber + m_savedOffset);
                    }
                    m_frame->ShowLine(line, false, false, true);
                }
            }
            m_savedRecord = -1;
            m_savedOffset = -1;
            break;
        }
        default:
            break;
    }
    RefreshControls();
}

void CMainDlg::SetStatusText(int pane, std::u16string_view text) {
    if (pane < 0 || pane >= res::kStatusPaneCount || m_statusPanes[pane] == nullptr) {
        return;
    }
    const QString value = Q(text);
    if (m_statusPanes[pane]->text() != value) {
        m_statusPanes[pane]->setText(value);
    }
}

QString CMainDlg::StatusText(int pane) const {
    if (pane < 0 || pane >= res::kStatusPaneCount || m_statusPanes[pane] == nullptr) {
        return {};
    }
    return m_statusPanes[pane]->text();
}

QString CMainDlg::LegendText() const {
    return m_legend != nullptr ? m_legend->text() : QString();
}

QString CMainDlg::LegendToolTip() const {
    return m_legend != nullptr ? m_legend->toolTip() : QString();
}

QWidget* CMainDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

QAction* CMainDlg::MenuAction(int id) const {
    const auto found = m_actions.find(id);
    return found != m_actions.end() ? found->second : nullptr;
}

void CMainDlg::RefreshControls() {
    const bool loaded = LoadedConverter() != nullptr;
    const bool selection = m_frame->SelectionLine() != nullptr;
    for (const ButtonCommand& entry : kButtonCommands) {
        QWidget* button = Control(entry.control);
        if (button == nullptr) {
            continue;
        }
        bool enabled = IsCommandEnabled(entry.command);
        if (entry.control == res::kIdcShowSelection) {
            enabled = enabled && selection;
        } else if (entry.control >= res::kIdcGoLine && entry.control <= res::kIdcCallAggregate) {
            enabled = enabled && loaded;
        }
        button->setEnabled(enabled);
    }
    for (int id : {res::kIdcLineNumber, res::kIdcIndexNumber, res::kIdcSelectionTime}) {
        if (QWidget* edit = Control(id)) {
            edit->setEnabled(loaded);
        }
    }
}

void CMainDlg::LayoutClient() {
    if (m_client == nullptr) {
        return;
    }
    const QSize client = m_client->size();
    if (m_legend != nullptr) {
        m_legend->setGeometry(m_legendLeft, m_legendTop,
                              std::max(0, client.width() - m_legendLeft - m_legendRight),
                              m_legendHeight);
    }
    if (m_frame != nullptr && m_frame->parentWidget() == m_client) {
        m_frame->setGeometry(m_frameLeft, m_frameTop,
                             std::max(0, client.width() - m_frameLeft - m_frameRight),
                             std::max(0, client.height() - m_frameTop - m_frameBottom));
    }
}

void CMainDlg::SetEditText(int id, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (edit != nullptr && edit->text() != text) {
        edit->setText(text);
    }
}

// ---------------------------------------------------------------------------------------
// Opening

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

bool CMainDlg::HidePanes() {
    bool visible = false;
    for (int p = 0; p < kPaneCount; ++p) {
        if (CPaneWnd* pane = m_frame->Pane(p)) {
            visible = visible || !pane->isHidden();
            pane->hide();
        }
    }
    return visible;
}

void CMainDlg::ShowPanes() {
    for (int p = 0; p < kPaneCount; ++p) {
        if (CPaneWnd* pane = m_frame->Pane(p)) {
            pane->show();
        }
    }
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
    CProgressDlg dialog(this);
    m_progress = &dialog;
    const int code = dialog.Run(title, subtitle, total, control);
    m_progress = nullptr;
    return code != kProgressRefused;
}

void CMainDlg::PostNotify(uint32_t message, uintptr_t wParam, void* lParam) {
    PostAppMessage(this, static_cast<int>(message), static_cast<intptr_t>(wParam),
                   reinterpret_cast<intptr_t>(lParam));
}

// ---------------------------------------------------------------------------------------
// Messages

bool CMainDlg::event(QEvent* event) {
    if (!QtAppEvent::IsAppMessage(event)) {
        return QDialog::event(event);
    }
    const auto* message = static_cast<const QtAppEvent*>(event);
    const intptr_t wParam = message->WParam();
    const intptr_t lParam = message->LParam();
    switch (message->Message()) {
        case kMsgReaderNotify:
            OnReaderNotify(wParam, lParam);
            return true;
        case kMsgSelectionChanged:
            RefreshSelection();
            return true;
        case kMsgScrolled:
            if (wParam > 0 && m_frame->SelectionLine() != nullptr) {
                RefreshSelection();
            }
            return true;
        case kMsgPaneMouseMove:
            if (CPaneWnd* pane = PaneOf(lParam)) {
                OnPaneMouseMove(pane, PointY(wParam));
            }
            return true;
        case kMsgPaneLeftDown:
            if (CPaneWnd* pane = PaneOf(lParam)) {
                OnPaneLeftDown(pane, PointY(wParam));
            }
            return true;
        case kMsgPaneRightDown:
            if (CPaneWnd* pane = PaneOf(lParam)) {
                if (PrepareContextMenu(pane, PointX(wParam), PointY(wParam))) {
                    m_context->exec(pane->mapToGlobal(QPoint(PointX(wParam), PointY(wParam))));
                }
            }
            return true;
        default:
            return QDialog::event(event);
    }
}

void CMainDlg::OnReaderNotify(intptr_t wParam, intptr_t lParam) {
    if (lParam == 0) {
        Reconvert(kLineSecondPass);
        return;
    }
    // Only a reader under the running progress dialog is alive for certain.
    if (m_progress == nullptr) {
        return;
    }
    const auto* reader = reinterpret_cast<const CInsFileRead*>(lParam);
    if (reader->WarningCounter() != 0) {
        SetStatusText(4, WarningCountText(static_cast<uint32_t>(reader->WarningCounter())));
    }
    m_progress->OnProgress(
        static_cast<uintptr_t>(wParam) == kNotifyProgress ? kProgressStep : kProgressEnded,
        static_cast<intptr_t>(reader->CurrentPosition()));
}

CPaneWnd* CMainDlg::PaneOf(intptr_t lParam) const {
    for (int p = 0; p < kPaneCount; ++p) {
        CPaneWnd* pane = m_frame->Pane(p);
        if (pane != nullptr && reinterpret_cast<intptr_t>(pane) == lParam) {
            return pane;
        }
    }
    return nullptr;
}

void CMainDlg::RefreshSelection() {
    RefreshControls();
    const DisplayLine* line = m_frame->SelectionLine();
    const MessageRecord* record = line != nullptr ? m_frame->Table().RecordOf(line) : nullptr;
    if (record == nullptr) {
        SetEditText(res::kIdcLineNumber, {});
        SetEditText(res::kIdcIndexNumber, {});
        SetEditText(res::kIdcSelectionTime, {});
        if (QWidget* button = Control(res::kIdcShowSelection)) {
            button->setEnabled(false);
        }
        return;
    }
    SetEditText(res::kIdcLineNumber,
                Q(GroupedDecimal16(static_cast<uint64_t>(std::max(0, line->lineNumber)))));
    SetEditText(res::kIdcIndexNumber, Q(IndexNumberText(record->Id)));
    const std::u16string_view time = SelectionTimeText(record->TextView());
    if (!time.empty()) {
        SetEditText(res::kIdcSelectionTime, Q(time));
    }
}

void CMainDlg::OnPaneMouseMove(CPaneWnd* pane, int y) {
    const int32_t number = pane->LineNumberAt(y);
    const DisplayLine* line = number >= 1 ? m_frame->Line(number) : nullptr;
    if (line == nullptr) {
        for (int i = 1; i <= 3; ++i) {
            SetStatusText(i, {});
        }
        return;
    }
    SetStatusText(1, LinePaneText(number));
    const MessageRecord* record = m_frame->Table().RecordOf(line);
    CTessaryCan* converter = LoadedConverter();
    if (record == nullptr || converter == nullptr) {
        SetStatusText(2, {});
        SetStatusText(3, {});
        return;
    }
    SetStatusText(2, IdPaneText(record->Id));
    SetStatusText(3, DatePaneText(converter->BaseTime(), record->Time));
}

void CMainDlg::OnPaneLeftDown(CPaneWnd* pane, int y) {
    int32_t number = pane->LineNumberAt(y);
    const DisplayLine* line = number >= 1 ? m_frame->Line(number) : nullptr;
    if (line == nullptr) {
        return;
    }
    if (!line->HasRecord()) {
        // An empty separator belongs to the message above in its upper half, else below.
        QRect rect;
        pane->LineRect(line, &rect);
        const int lh = m_frame->LineHeight();
        const int top = number * lh - pane->ScrollPosition().y();
        number += (y - top) < lh / 2 ? -1 : 1;
        line = number >= 1 ? m_frame->Line(number) : nullptr;
        if (line == nullptr || !line->HasRecord()) {
            return;
        }
    }
    if (m_frame->Table().IsSelectedRecord(line)) {
        return;
    }
    m_frame->SelectLine(line);
}

bool CMainDlg::PrepareContextMenu(CPaneWnd* pane, int x, int y) {
    if (m_context == nullptr || pane == nullptr) {
        return false;
    }
    m_contextPane = pane->Position();
    m_currentLine = pane->LineNumberAt(y);
    // The word item of the previous opening goes, with the separator after it.
    QList<QAction*> actions = m_context->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i]->data().toInt() == res::kCmdCopyWord) {
            if (i + 1 < actions.size() && actions[i + 1]->isSeparator()) {
                m_context->removeAction(actions[i + 1]);
                delete actions[i + 1];
            }
            m_context->removeAction(actions[i]);
            delete actions[i];
            break;
        }
    }
    const QString word = pane->WordAt(x, y);
    if (!word.isEmpty()) {
        QAction* first = m_context->actions().isEmpty() ? nullptr : m_context->actions().front();
        InsertMenuItem(m_context, first, res::kCmdCopyWord,
                       FillTemplate(m_contextTemplates[0], word), Command());
        auto* separator = new QAction(m_context);
        separator->setSeparator(true);
        m_context->insertAction(first, separator);
    }
    UpdateContextItems();
    return true;
}

void CMainDlg::UpdateContextItems() {
    if (m_context == nullptr) {
        return;
    }
    bool hasReload = false;
    for (QAction* action : m_context->actions()) {
        const int id = action->data().toInt();
        if (action->isSeparator() || id == res::kCmdLapdDetail) {
            continue;
        }
        hasReload = hasReload || id == res::kCmdReload;
        const auto found = m_commands.find(id);
        if (found == m_commands.end() && id >= res::kCmdCopyRange && id <= res::kCmdCorrectLine) {
            // Without their handlers the range items show no IDs.
            action->setText(FillTemplate(m_contextTemplates[id - res::kCmdCopyWord], QString()));
        }
        action->setEnabled(IsCommandEnabled(id));
    }
    // The reload item's update also refreshes the LAPD detail line (it removes items, so
    // not while walking the list).
    if (hasReload) {
        RefreshLapdDetail();
    }
}

void CMainDlg::RefreshLapdDetail() {
    QList<QAction*> actions = m_context->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i]->data().toInt() == res::kCmdLapdDetail) {
            if (i > 0 && actions[i - 1]->isSeparator()) {
                m_context->removeAction(actions[i - 1]);
                delete actions[i - 1];
            }
            m_context->removeAction(actions[i]);
            delete actions[i];
            break;
        }
    }
    const DisplayLine* line = m_frame->Line(m_currentLine);
    const MessageRecord* record = line != nullptr ? m_frame->Table().RecordOf(line) : nullptr;
    if (record == nullptr) {
        return;
    }
    const std::u16string detail = LapdDetailText(*record);
    if (detail.empty()) {
        return;
    }
    m_context->addSeparator();
    QAction* item = m_context->addAction(Q(detail));
    item->setData(res::kCmdLapdDetail);
}

// ---------------------------------------------------------------------------------------
// Commands

void CMainDlg::RegisterCommand(int id, CommandEnabled enabled, CommandAction action) {
    m_commands[id] = CommandEntry{std::move(enabled), std::move(action)};
}

bool CMainDlg::IsCommandEnabled(int id) const {
    const auto found = m_commands.find(id);
    if (found == m_commands.end() || !found->second.action) {
        return false;
    }
    return !found->second.enabled || found->second.enabled();
}

bool CMainDlg::ExecuteCommand(int id) {
    SetStatusText(0, {});
    if (!IsCommandEnabled(id)) {
        return false;
    }
    // The handler may replace the table entry; run a copy.
    const CommandAction action = m_commands[id].action;
    action();
    return true;
}

void CMainDlg::RegisterOwnCommands() {
    const auto always = CommandEnabled{};
    RegisterCommand(res::kCmdOpen, always, [this] { OnOpenFile(); });
    RegisterCommand(res::kCmdExit, always, [this] { close(); });
    RegisterCommand(res::kCmdReload, always, [this] { OnReload(); });
    RegisterCommand(
        res::kCmdShowSelection, [this] { return m_frame->SelectionLine() != nullptr; },
        [this] { m_frame->ShowLine(m_frame->SelectionLine(), true, true, false); });
    RegisterCommand(res::kCmdFocusSearch, always, [this] {
        if (m_search != nullptr) {
            m_search->setFocus();
            m_search->lineEdit()->selectAll();
        }
    });
    RegisterCommand(res::kCmdLayoutColumns, always,
                    [this] { m_frame->LayoutColumns(nullptr, true); });
    RegisterCommand(res::kCmdCopyWord, always, [this] { OnCopyWord(); });
    for (int id = res::kCmdRecentFirst; id <= res::kCmdRecentLast; ++id) {
        RegisterCommand(id, always, [this, id] {
            const size_t index = static_cast<size_t>(id - res::kCmdRecentFirst);
            if (index >= m_settings.recentFiles.size()) {
                return;
            }
            const PathString path = Utf8(m_settings.recentFiles[index]);
            OpenAndRemember(path, kLineAsk);
        });
    }
}

void CMainDlg::UpdateMenuState(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || action->menu() != nullptr) {
            continue;
        }
        action->setEnabled(IsCommandEnabled(action->data().toInt()));
    }
}

void CMainDlg::OnOpenFile() {
    OpenFileRequest request;
    request.title = res::kOpenTitle;
    request.filter = res::kOpenFilter;
    request.defaultExtension = res::kOpenDefaultExtension;
    if (!LoadedPath().empty()) {
        request.folder =
            QFileInfo(QString::fromStdString(LoadedPath())).absolutePath().toStdString();
    }
    CanPara& para = m_settings.para;
    request.checks.push_back({res::kIdcOpenHideRr, std::u16string(res::kOpenHideRr),
                              (para.Flag[1] & kFlag1HideRr) != 0});
    request.checks.push_back(
        {res::kIdcOpenHeaderOnly, std::u16string(res::kOpenHeaderOnly), false});
    const bool chosen = Ui().AskOpenFile(request);
    // The RR flag follows the check box even when the dialog was cancelled.
    if (request.checks[0].checked) {
        para.Flag[1] |= kFlag1HideRr;
    } else {
        para.Flag[1] &= static_cast<uint8_t>(~kFlag1HideRr);
    }
    if (!chosen) {
        return;
    }
    if (request.checks[1].checked) {
        if (m_headerViewer) {
            m_headerViewer(request.path);
        } else {
            const HeaderTextResult dump = BuildHeaderDump(request.path);
            Ui().ShowMessage(dump.text, res::kOpenTitle, MessageIcon::kInformation,
                             MessageButtons::kOk);
        }
        return;
    }
    OpenAndRemember(request.path, kLineAsk);
}

void CMainDlg::OnReload() {
    if (LoadedConverter() != nullptr) {
        // A two-line file keeps the line it shows.
        const PathString path = LoadedPath();
        const int line = static_cast<int>(LineSelectionOf(m_settings.para) & 1);
        OpenAndRemember(path, line);
        return;
    }
    if (!m_settings.recentFiles.empty()) {
        const PathString path = Utf8(m_settings.recentFiles.front());
        OpenAndRemember(path, kLineAsk);
        return;
    }
    OnOpenFile();
}

void CMainDlg::OnCopyWord() {
    QAction* item = nullptr;
    for (QAction* action : m_context->actions()) {
        if (action->data().toInt() == res::kCmdCopyWord) {
            item = action;
        }
    }
    if (item == nullptr) {
        return;
    }
    const QString text = item->text();
    const qsizetype open = text.indexOf(QLatin1Char('<'));
    const qsizetype close = text.lastIndexOf(QLatin1Char('>'));
    if (open >= 0 && close > open) {
        QGuiApplication::clipboard()->setText(text.mid(open, close - open + 1));
    }
}

int32_t CMainDlg::OpenAndRemember(const PathString& path, int lineChoice) {
    const int32_t result = Open(path, lineChoice);
    if (result == kOpenResultDone || result == kOpenResultCancelled) {
        AddRecentFile(path);
    }
    return result;
}

void CMainDlg::AddRecentFile(const PathString& path) {
    AddToHistory(m_settings.recentFiles, Utf16(path));
    if (!BuildRecentMenu()) {
        m_settings.recentFiles.clear();
    }
}

// ---------------------------------------------------------------------------------------
// Keys, mouse, drops, closing

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client) {
        if (event->type() == QEvent::Resize) {
            LayoutClient();
        } else if (QtAppEvent::IsAppMessage(event)) {
            // The pane frame lives in the client area and notifies it; the window handles it.
            return this->event(event);
        }
        return false;
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress && type != QEvent::Wheel) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
        SetStatusText(0, {});
    }
    if (type == QEvent::KeyPress && m_search != nullptr && watched == m_search->lineEdit()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (!key->isAutoRepeat()) {
                ExecuteCommand(res::kCmdFindNext);
            }
            return true;
        }
    }
    if (type == QEvent::Wheel && dynamic_cast<CPaneWnd*>(widget) == nullptr && isActiveWindow()) {
        // The wheel scrolls the block pane under the cursor, wherever the focus is.
        QWidget* under = QApplication::widgetAt(QCursor::pos());
        while (under != nullptr && dynamic_cast<CPaneWnd*>(under) == nullptr) {
            under = under->parentWidget();
        }
        if (auto* pane = dynamic_cast<CPaneWnd*>(under);
            pane != nullptr && pane->window() == this) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            QWheelEvent copy(pane->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                             wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                             wheel->modifiers(), wheel->phase(), wheel->inverted());
            pane->setFocus();
            QCoreApplication::sendEvent(pane, &copy);
            return true;
        }
    }
    return false;
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            // IDCANCEL: the main window does not close on Esc.
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // IDOK: the go-to commands of the focused edit.
            QWidget* focus = focusWidget();
            if (focus == Control(res::kIdcLineNumber)) {
                ExecuteCommand(res::kIdcGoLine);
            } else if (focus == Control(res::kIdcIndexNumber)) {
                ExecuteCommand(res::kIdcGoIndex);
            } else if (auto* button = qobject_cast<QPushButton*>(focus)) {
                button->click();
            }
            event->accept();
            return;
        }
        default:
            QDialog::keyPressEvent(event);
    }
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

void CMainDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_initialized) {
        // Maximising or restoring spreads the blocks evenly once the new size is in.
        QTimer::singleShot(0, this, [this] {
            if (m_frame != nullptr) {
                m_frame->LayoutColumns(nullptr, true);
            }
        });
    }
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
    const PathString file = urls.front().toLocalFile().toStdString();
    OpenAndRemember(file, kLineAsk);
}

void CMainDlg::StorePlacementAndOrder() {
    if (m_stored || !m_initialized) {
        return;
    }
    m_stored = true;
    WindowPlacement& placement = m_settings.mainWindow;
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    placement.showCmd = isMaximized() ? kShowMaximized : kShowNormal;
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    for (int p = 0; p < kPaneCount; ++p) {
        const CPaneWnd* pane = m_frame->Pane(p);
        const int block = pane != nullptr ? pane->ShownBlock() : p;
        if (block >= 0 && block < kBlockCount) {
            WritePosition(m_settings.para.BlockDef[block], p);
        }
    }
}

}  // namespace tessary
