#include "display/CPaneFrame.h"

#include <QTimer>

#include <QFocusEvent>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QStyle>
#include <algorithm>

#include "display/CPaneSplitter.h"
#include "display/CPaneWnd.h"

namespace tessary {

QStringList PaneFontFamilies() {
    return {QStringLiteral(u"ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
            QStringLiteral("monospace")};
}

QFont MakePaneFont(int tenths) {
    QFont font;
    font.setFamilies(PaneFontFamilies());
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(tenths / 10.0);
    return font;
}

CPaneFrame::CPaneFrame(PaneFrameOwner* owner, const DisplaySource& source)
    : m_owner(owner), m_paneFont(MakePaneFont(kPaneFontTenths)), m_boldFont(m_paneFont) {
    m_boldFont.setWeight(QFont::Bold);
    m_table.SetSource(source);
    setFocusPolicy(Qt::StrongFocus);
}

CPaneFrame::~CPaneFrame() {
    // The panes read the table while they live; they go first.
    for (CPaneWnd*& pane : m_panes) {
        delete pane;
        pane = nullptr;
    }
    m_notify = nullptr;
}

CTessaryCan* CPaneFrame::LoadedConverter() const {
    return m_owner != nullptr ? m_owner->LoadedConverter() : nullptr;
}

bool CPaneFrame::Create(const QRect& rect, QWidget* parent) {
    if (parent == nullptr || m_splitter != nullptr) {
        return false;
    }
    setParent(parent);
    setGeometry(rect);
    m_vbarWidget = new QScrollBar(Qt::Vertical, this);
    m_vbar.Attach(
        m_vbarWidget, this, [this](int code) { OnVScroll(code); },
        [this](QWheelEvent* event) {
            // A scroll area takes wheel turns on its viewport only.
            if (CPaneWnd* pane = VisiblePane()) {
                QCoreApplication::sendEvent(pane->viewport(), event);
            }
        });
    m_vbar.SetPolicy(Qt::ScrollBarAlwaysOn);
    if (!OnCreateClient()) {
        return false;
    }
    show();
    m_notify = parent;
    window()->installEventFilter(this);
    return true;
}

bool CPaneFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window() && event->type() == QEvent::WindowStateChange) {
        // Once the new size is in.
        QTimer::singleShot(0, this, [this] { LayoutColumns(nullptr, true); });
    }
    return false;
}

bool CPaneFrame::OnCreateClient() {
    m_splitter = new CPaneSplitter(this);
    LayoutChildren();
    QSize size;
    LayoutColumns(&size, false);
    for (int i = 0; i < kPaneCount; ++i) {
        auto* pane = new CPaneWnd(this, i);
        if (!pane->CreatePane(QRect(0, 0, std::max(size.width(), 0), std::max(size.height(), 0)),
                              m_splitter, CPaneSplitter::PaneId(0, i))) {
            delete pane;
            return false;
        }
        m_splitter->addWidget(pane);
        m_splitter->setCollapsible(i, true);
        m_panes[i] = pane;
    }
    m_splitter->SetColumnWidths(size.width());
    m_splitter->show();
    return SetPaneFont(nullptr, true);
}

void CPaneFrame::LayoutChildren() {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (m_vbarWidget != nullptr) {
        m_vbarWidget->setGeometry(width() - bar, 0, bar, height());
    }
    if (m_splitter != nullptr) {
        m_splitter->setGeometry(0, 0, std::max(width() - bar, 0), height());
    }
}

void CPaneFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutChildren();
}

void CPaneFrame::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (CPaneWnd* pane = VisiblePane()) {
        pane->setFocus(event->reason());
    }
}

void CPaneFrame::MeasureFont() {
    const QFontMetrics metrics(m_paneFont);
    int height = metrics.height();
    int width = metrics.averageCharWidth();
    if (height <= 0 || width <= 0) {
        // No metrics: the font's nominal size stands in.
        const int pixels = m_paneFont.pixelSize() > 0
                               ? m_paneFont.pixelSize()
                               : static_cast<int>(m_paneFont.pointSizeF() * 96 / 72 + 0.5);
        height = std::max(std::abs(pixels), 1);
        width = (height + 1) / 2;
    }
    m_lineHeight = height;
    m_charWidth = width;
}

bool CPaneFrame::SetPaneFont(const QFont* font, bool takeFocus) {
    if (font != nullptr) {
        m_paneFont = *font;
        m_boldFont = *font;
        m_boldFont.setWeight(QFont::Bold);
    }
    MeasureFont();
    const int cw = m_charWidth;
    const int lh = m_lineHeight;
    QSize document(m_table.MaximumCells() * cw, (m_table.LineCount() - 1) * lh);
    if (document.width() <= 0 || document.height() <= 0) {
        document = QSize(1, 1);
    }
    for (CPaneWnd* pane : m_panes) {
        if (pane == nullptr) {
            continue;
        }
        pane->SetScrollSizes(document, QPoint(5 * cw, 5 * lh), QPoint(cw, lh));
        pane->SetScrollPosition(kScrollBoth, 0, 0, false);
        // The visible height depends on the line height even when the document does not.
        pane->UpdateScrollBars(nullptr);
    }
    m_table.ClearSelection();
    Notify(kMsgSelectionChanged, -1, 0);
    for (CPaneWnd* pane : m_panes) {
        if (pane != nullptr) {
            pane->viewport()->update();
        }
    }
    update();
    if (takeFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    return true;
}

bool CPaneFrame::LayoutColumns(QSize* size, bool apply) {
    if (m_splitter == nullptr || !m_splitter->IsReady()) {
        return false;
    }
    const int clientWidth = m_splitter->width();
    const int edge = m_splitter->EdgeWidth();
    const int w = (clientWidth - 2 * edge - 3 * m_splitter->BarWidth()) / 4;
    const int h = m_splitter->height() - 2 * edge;
    if (size != nullptr) {
        *size = QSize(w, h);
    }
    if (!apply) {
        return true;
    }
    if (w <= 0 || h <= 0) {
        return false;
    }
    m_splitter->SetColumnWidths(w);
    return true;
}

bool CPaneFrame::ScrollAll(int dx, int dy, bool updateNow) {
    bool moved = false;
    for (CPaneWnd* pane : m_panes) {
        if (pane != nullptr && pane->ScrollByDelta(dx, dy, nullptr, nullptr, updateNow)) {
            moved = true;
        }
    }
    return moved;
}

bool CPaneFrame::HidePanes() {
    bool visible = false;
    for (CPaneWnd* pane : m_panes) {
        if (pane != nullptr) {
            visible = visible || !pane->isHidden();
            pane->hide();
        }
    }
    return visible;
}

void CPaneFrame::ShowPanes() {
    for (CPaneWnd* pane : m_panes) {
        if (pane != nullptr) {
            pane->show();
        }
    }
}

void CPaneFrame::FreeText() {
    m_table.FreeText();
    // No lines: the panes must not keep drawing, scrolling or hit-testing the old ones.
    SetPaneFont(nullptr, false);
}

void CPaneFrame::OnVScroll(int code) {
    if (!m_vbar.Shown()) {
        return;
    }
    const ScrollInfo info = m_vbar.Info();
    const bool thumb = code == kSbThumbTrack || code == kSbThumbPosition;
    for (CPaneWnd* pane : m_panes) {
        if (pane != nullptr) {
            pane->ScrollByCode(kSbNone, code, 0, thumb ? info.trackPos : 0);
        }
    }
    if (code != kSbEndScroll) {
        return;
    }
    int first = -1;
    if (CPaneWnd* pane = VisiblePane()) {
        int last = 0;
        if (pane->VisibleLines(&first, &last, nullptr, nullptr) < 0) {
            first = -1;
        }
    }
    bool paneFocused = false;
    for (CPaneWnd* pane : m_panes) {
        paneFocused = paneFocused || (pane != nullptr && pane->hasFocus());
    }
    if (!paneFocused) {
        setFocus(Qt::OtherFocusReason);
    }
    Notify(kMsgScrolled, first, 0);
}

int32_t CPaneFrame::SelectLine(const DisplayLine* line) {
    const SelectionChange change = m_table.SelectLine(line);
    if (change.result < 0) {
        return -1;
    }
    Notify(kMsgSelectionChanged, change.notifyLine, 0);
    if (change.recordChanged) {
        InvalidateGroup(line);
        if (change.oldSelection != nullptr) {
            InvalidateGroup(change.oldSelection);
        }
    }
    return change.result;
}

bool CPaneFrame::ShowLine(const DisplayLine* line, bool groupStart, bool select, bool takeFocus) {
    if (line == nullptr || line->lineNumber <= 0) {
        return false;
    }
    if (groupStart && line->groupOffset != 0) {
        if (const DisplayLine* first = m_table.Line(line->lineNumber - line->groupOffset)) {
            line = first;
        }
    }
    CPaneWnd* pane = VisiblePane();
    const int lh = m_lineHeight;
    QRect rect;
    const bool fully =
        pane != nullptr && pane->LineRect(line, &rect) > 0 && rect.height() >= lh - 1;
    bool result = true;
    if (!fully) {
        const int scrollY = (pane != nullptr ? pane : m_panes[0]) != nullptr
                                ? (pane != nullptr ? pane : m_panes[0])->ScrollPosition().y()
                                : 0;
        result = ScrollAll(0, (line->lineNumber - 1) * lh - scrollY, true);
    } else if (!select) {
        for (CPaneWnd* each : m_panes) {
            if (each != nullptr) {
                each->viewport()->update(0, rect.top(), each->viewport()->width(), rect.height());
            }
        }
    }
    if (select) {
        SelectLine(line);
    } else {
        InvalidateGroup(line);
    }
    if (takeFocus && pane != nullptr) {
        pane->setFocus(Qt::OtherFocusReason);
    }
    return result;
}

int32_t CPaneFrame::InvalidateGroup(const DisplayLine* line) {
    const int lh = m_lineHeight;
    CPaneWnd* pane = VisiblePane();
    if (line == nullptr) {
        int first = -1;
        for (CPaneWnd* each : m_panes) {
            if (each != nullptr) {
                const QWidget* view = each->viewport();
                each->viewport()->update(0, lh, view->width(), std::max(view->height() - lh, 0));
            }
        }
        if (pane != nullptr) {
            int last = 0;
            if (pane->VisibleLines(&first, &last, nullptr, nullptr) < 0) {
                first = -1;
            }
        }
        return first;
    }
    if (line->lineNumber == 0) {
        for (CPaneWnd* each : m_panes) {
            if (each != nullptr) {
                each->viewport()->update(0, 0, each->viewport()->width(), lh);
            }
        }
        return 0;
    }
    if (line->lineNumber < 0 || pane == nullptr) {
        return -1;
    }
    const int32_t start = line->lineNumber - line->groupOffset;
    const int32_t size = std::max<int32_t>(line->groupSize, 1);
    int top = -1;
    int bottom = -1;
    int32_t firstVisible = -1;
    for (int32_t n = std::max(start, 1); n < start + size; ++n) {
        const DisplayLine* member = m_table.Line(n);
        QRect rect;
        if (member == nullptr || pane->LineRect(member, &rect) <= 0) {
            continue;
        }
        if (firstVisible < 0) {
            firstVisible = n;
            top = rect.top();
        }
        bottom = rect.bottom() + 1;
    }
    if (firstVisible < 0) {
        return -1;
    }
    for (CPaneWnd* each : m_panes) {
        if (each != nullptr) {
            each->viewport()->update(0, top, each->viewport()->width(), bottom - top);
        }
    }
    return firstVisible;
}

bool CPaneFrame::SwapBlocks(CPaneWnd* a, CPaneWnd* b) {
    if (a == nullptr && b == nullptr) {
        for (CPaneWnd* pane : m_panes) {
            if (pane != nullptr) {
                pane->SetShownBlock(pane->Position());
                pane->viewport()->update();
            }
        }
        return true;
    }
    if (a == nullptr || b == nullptr) {
        return false;
    }
    if (a != b) {
        const int block = a->ShownBlock();
        a->SetShownBlock(b->ShownBlock());
        b->SetShownBlock(block);
        a->viewport()->update();
        b->viewport()->update();
    }
    return true;
}

MessageRecord* CPaneFrame::TopRecord(int* offsetInGroup, bool first) const {
    if (offsetInGroup != nullptr) {
        *offsetInGroup = -1;
    }
    for (CPaneWnd* pane : m_panes) {
        if (pane == nullptr || pane->ClientRect().isEmpty()) {
            continue;
        }
        int top = 0;
        int bottom = 0;
        if (pane->VisibleLines(&top, &bottom, nullptr, nullptr) < 1) {
            continue;
        }
        const int step = first ? 1 : -1;
        for (int n = first ? top : bottom; first ? n <= bottom : n >= top; n += step) {
            const DisplayLine* line = m_table.Line(n);
            MessageRecord* record = m_table.RecordOf(line);
            if (record != nullptr) {
                if (offsetInGroup != nullptr) {
                    *offsetInGroup = line->groupOffset;
                }
                return record;
            }
        }
        return nullptr;
    }
    return nullptr;
}

CPaneWnd* CPaneFrame::Pane(int position) const {
    return position >= 0 && position < kPaneCount ? m_panes[position] : nullptr;
}

CPaneWnd* CPaneFrame::VisiblePane(int position) const {
    for (int i = 0; i < kPaneCount; ++i) {
        if (position >= 0 && i != position) {
            continue;
        }
        if (m_panes[i] != nullptr && !m_panes[i]->ClientRect().isEmpty()) {
            return m_panes[i];
        }
    }
    return nullptr;
}

CPaneWnd* CPaneFrame::PaneShowing(int block) const {
    for (CPaneWnd* pane : m_panes) {
        if (pane != nullptr && pane->ShownBlock() == block) {
            return pane;
        }
    }
    return nullptr;
}

int32_t CPaneFrame::LineAtY(int y) const {
    const CPaneWnd* pane = VisiblePane() != nullptr ? VisiblePane() : m_panes[0];
    if (pane == nullptr) {
        return -1;
    }
    const int32_t n = pane->LineNumberAt(y);
    return n >= 0 && n < m_table.LineCount() ? n : -1;
}

void CPaneFrame::Notify(int message, intptr_t wParam, intptr_t lParam) const {
    PostAppMessage(m_notify, message, wParam, lParam);
}

}  // namespace tessary
