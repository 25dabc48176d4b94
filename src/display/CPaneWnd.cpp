#include "display/CPaneWnd.h"

#include <QCursor>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "display/CPaneFrame.h"
#include "display/CellWord.h"
#include "platform/QtText.h"

namespace tessary {

namespace {

constexpr int kClassSelection = 13;
constexpr int kClassSearchHit = 14;
constexpr int kClassFirstRule = 5;

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int CeilDiv(int a, int b) {
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

}  // namespace

CPaneWnd::CPaneWnd(CPaneFrame* frame, int position)
    : m_frame(frame), m_position(position), m_shownBlock(position) {
    viewport()->setMouseTracking(true);
}

bool CPaneWnd::CreatePane(const QRect& rect, QWidget* parent, int childId) {
    const uint32_t window = ColorRefOf(palette().color(QPalette::Base));
    if (!Create(rect, parent, childId, window)) {
        return false;
    }
    // The panes share the frame's vertical bar.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    OwnBar(kBarVertical).SetPolicy(Qt::ScrollBarAlwaysOff);
    setMinimumSize(0, 0);
    return true;
}

int CPaneWnd::Cw() const {
    return std::max(m_frame != nullptr ? m_frame->CharWidth() : 0, 1);
}

int CPaneWnd::Lh() const {
    return std::max(m_frame != nullptr ? m_frame->LineHeight() : 0, 1);
}

int CPaneWnd::Margin() const {
    return Cw() * 5 / 10;
}

int32_t CPaneWnd::LineNumberAt(int y) const {
    const int lh = Lh();
    return y < lh ? 0 : (y + m_scroll.y() - lh) / lh + 1;
}

int CPaneWnd::ColumnAt(int x) const {
    // Text starts at the margin, so the margin is taken off before dividing.
    return FloorDiv(x + m_scroll.x() - Margin(), Cw());
}

int CPaneWnd::VisibleLines(int* first, int* last, QRect* document, QRect* client) const {
    const int lh = Lh();
    const QRect clientRect = ClientRect();
    const int h = clientRect.height() > lh ? clientRect.height() - lh : 0;
    const int sx = m_scroll.x();
    const int sy = m_scroll.y();
    const int right = std::min(m_documentSize.width(), sx + clientRect.width());
    const int bottom = std::min(m_documentSize.height(), sy + h);
    const int firstLine = sy / lh + 1;
    const int lastLine = (bottom - 1) / lh + 1;
    if (first != nullptr) {
        *first = firstLine;
    }
    if (last != nullptr) {
        *last = lastLine;
    }
    if (document != nullptr) {
        *document = QRect(QPoint(sx, sy), QPoint(right - 1, bottom - 1));
    }
    if (client != nullptr) {
        *client = clientRect;
    }
    if (m_frame == nullptr || m_frame->Line(firstLine) == nullptr ||
        m_frame->Line(lastLine) == nullptr) {
        return -1;
    }
    return lastLine - firstLine + 1;
}

int CPaneWnd::LineRect(const DisplayLine* line, QRect* rect) const {
    if (line == nullptr) {
        return -1;
    }
    const int lh = Lh();
    const int width = ClientRect().width();
    int first = 0;
    int last = 0;
    VisibleLines(&first, &last, nullptr, nullptr);
    const int n = line->lineNumber;
    if (n >= first && n <= last) {
        int top = lh * n - m_scroll.y();
        const int bottom = std::min(top + lh, ClientRect().bottom() + 1);
        top = std::max(top, lh);
        if (rect != nullptr) {
            *rect = QRect(0, top, width, std::max(bottom - top, 0));
        }
        return top / lh;
    }
    if (rect != nullptr) {
        *rect = QRect(0, lh * n, width, lh);
    }
    return 0;
}

void CPaneWnd::ScrollByCode(int hCode, int vCode, int32_t hAmount, int32_t vAmount) {
    // Off the grid, line and page codes go to a grid boundary: a line code to the nearest one
    // in its direction, a page code to the fifth.
    const auto snap = [](int code, int32_t amount, int offset, int cell, int line, int page) {
        if (offset == 0) {
            return amount;
        }
        switch (code) {
            case kSbLineUp:
                return line - cell + offset;
            case kSbLineDown:
                return line - offset;
            case kSbPageUp:
                return page - cell + offset;
            case kSbPageDown:
                return page - offset;
            default:
                return amount;
        }
    };
    const int cw = Cw();
    const int lh = Lh();
    hAmount = snap(hCode, hAmount, m_scroll.x() % cw, cw, m_lineStep.x(), m_pageStep.x());
    vAmount = snap(vCode, vAmount, m_scroll.y() % lh, lh, m_lineStep.y(), m_pageStep.y());
    CScrollWnd::ScrollByCode(hCode, vCode, hAmount, vAmount);
}

bool CPaneWnd::ScrollByDelta(int dx, int dy, const QRect* scrollRect, const QRect* clipRect,
                             bool updateNow) {
    (void)updateNow;
    if ((dx == 0 && dy == 0) || m_frame == nullptr) {
        return false;
    }
    const ScrollInfo h = OwnBar(kBarHorizontal).Info();
    const ScrollInfo v = m_frame->VerticalBar().Info();
    const QPoint old = m_scroll;

    int64_t x = int64_t{old.x()} + dx;
    if (x < 0) {
        x = 0;
    } else if (x + h.page > h.max) {
        x = std::max<int64_t>(int64_t{h.max} - std::max<int64_t>(int64_t{h.page} - 1, 0), 0);
    }
    // Vertically the end is document height - visible height; a document that fits (page 0)
    // does not scroll at all.
    int64_t y = int64_t{old.y()} + dy;
    const int64_t yLimit = v.page == 0 ? 0 : std::max<int64_t>(int64_t{v.max} - v.page, 0);
    y = std::clamp<int64_t>(y, 0, yLimit);
    const QPoint next(static_cast<int>(x), static_cast<int>(y));
    if (next == old) {
        return false;
    }
    m_scroll = next;

    const int lh = Lh();
    const int m = Margin();
    const QRect client = ClientRect();
    QRect area(0, lh, client.width(), std::max(client.height() - lh, 0));
    if (next.x() != old.x()) {
        area.setLeft(m);
    }
    if (scrollRect != nullptr) {
        area &= *scrollRect;
    }
    if (clipRect != nullptr) {
        area &= *clipRect;
    }
    viewport()->scroll(old.x() - next.x(), old.y() - next.y(), area);
    if (next.x() != old.x() && next.y() != old.y()) {
        viewport()->scroll(0, old.y() - next.y(), QRect(0, lh, m, area.height()));
    }
    OwnBar(kBarHorizontal).SetPos(next.x(), true);
    m_frame->VerticalBar().SetPos(next.y(), true);
    return true;
}

void CPaneWnd::SetScrollPosition(int which, int x, int y, bool redraw) {
    if (which == kScrollHorizontal || which == kScrollBoth) {
        OwnBar(kBarHorizontal).SetPos(x, redraw);
        m_scroll.setX(x);
    }
    if (which == kScrollVertical || which == kScrollBoth) {
        if (m_frame != nullptr) {
            m_frame->VerticalBar().SetPos(y, redraw);
        }
        m_scroll.setY(y);
    }
}

bool CPaneWnd::SetBarRange(int bar, int32_t max, int32_t page, int32_t position, bool redraw) {
    if (bar == kBarVertical) {
        return true;  // the frame's bar
    }
    return CScrollWnd::SetBarRange(bar, max, page, position, redraw);
}

int CPaneWnd::UpdateScrollBars(const QRect* area) {
    const int lh = Lh();
    const int m = Margin();
    QRect useArea;
    if (area != nullptr) {
        useArea = *area;
    } else {
        // Independent of whether the horizontal bar shows.
        const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        useArea = QRect(m, lh, width() - m, height() - barHeight - lh);
    }
    const int cx = m_documentSize.width();
    const int cy = m_documentSize.height();
    const bool needH = useArea.width() > 0 && useArea.width() < cx;
    const bool needV = useArea.height() > 0 && useArea.height() < cy;

    if (needH) {
        SetBarRange(kBarHorizontal, cx - 1, useArea.width(), -1, true);
        OwnBar(kBarHorizontal).Enable(true);
        m_activeBars |= 1;
    } else {
        SetBarRange(kBarHorizontal, cx - 1, -1, -1, true);
        OwnBar(kBarHorizontal).Enable(false);
        m_activeBars &= ~1u;
        SetScrollPosition(kScrollHorizontal, 0, 0, false);
    }

    if (m_frame == nullptr) {
        return needH ? 1 : 0;
    }
    QtScrollBar& vbar = m_frame->VerticalBar();
    ScrollInfo info = vbar.Info();
    info.mask = kSifRange | kSifPage;
    info.min = 0;
    info.max = cy;
    if (needV) {
        info.page = static_cast<uint32_t>(useArea.height());
        vbar.SetInfo(info, true);
        vbar.Enable(true);
        m_activeBars |= 2;
    } else {
        info.mask |= kSifPos;
        info.page = 0;
        info.pos = 0;
        m_scroll.setY(0);
        vbar.SetInfo(info, true);
        vbar.Enable(false);
        m_activeBars &= ~2u;
    }

    int changed = 0;
    const int x = OwnBar(kBarHorizontal).Pos();
    if (x != m_scroll.x()) {
        m_scroll.setX(x);
        viewport()->update();
        changed = 1;
    }
    const ScrollInfo now = vbar.Info();
    const int yLimit = now.page == 0 ? 0 : std::max<int>(now.max - static_cast<int>(now.page), 0);
    const int y = std::min(now.pos, yLimit);
    if (y != now.pos) {
        vbar.SetPos(y, true);
    }
    if (y != m_scroll.y()) {
        m_scroll.setY(y);
        for (int i = 0; i < kPaneCount; ++i) {
            if (CPaneWnd* pane = m_frame->Pane(i)) {
                pane->viewport()->update();
            }
        }
        changed = 1;
    }
    return changed;
}

void CPaneWnd::PrepareDC(QPainter& painter) {
    (void)painter;  // positions are computed on the grid, not by an origin shift
}

void CPaneWnd::PrepareFonts() {
    const QFont& font = m_frame->PaneFont();
    if (m_raw.isValid() && font == m_fontKey) {
        return;
    }
    m_fontKey = font;
    m_raw = QRawFont::fromFont(font);
    m_rawBold = QRawFont::fromFont(m_frame->BoldPaneFont());
    m_rawFallback = QRawFont::fromFont(font, QFontDatabase::Japanese);
    m_rawFallbackBold = QRawFont::fromFont(m_frame->BoldPaneFont(), QFontDatabase::Japanese);
    // Fonts without a bold face get their bold strokes by a second pass one pixel on.
    m_fakeBold = !m_rawBold.isValid() || m_rawBold.weight() < QFont::DemiBold;
    if (!m_rawBold.isValid()) {
        m_rawBold = m_raw;
    }
    if (!m_rawFallbackBold.isValid()) {
        m_rawFallbackBold = m_rawFallback;
    }
    m_ascent = QFontMetrics(font).ascent();
}

CPaneWnd::Band CPaneWnd::BandOf(int colorClass, const DisplayLine* line) const {
    Band band;
    const QColor defaultText = palette().color(QPalette::Text);
    const QColor paneBack = ColorOf(BackgroundColor());
    band.text = defaultText;
    band.back = paneBack;
    if (colorClass < 0 || colorClass >= kColorClassCount) {
        return band;  // draws nothing
    }
    band.valid = true;
    band.bold = colorClass == 0 || colorClass == kClassSearchHit;
    const ColorPair* colors = m_frame->Source().Colors();
    if (colors == nullptr) {
        return band;
    }
    const auto apply = [&](int k) {
        if (k < 0 || k >= kColorClassCount) {
            return;
        }
        if (colors[k].text != kKeepColor) {
            band.text = ColorOf(colors[k].text);
        }
        if (colors[k].back != kKeepColor) {
            band.back = ColorOf(colors[k].back);
        }
    };
    apply(line != nullptr ? line->colorClass : 1);
    if (colorClass >= kClassFirstRule && colorClass < kClassFirstRule + 4) {
        apply(colorClass);
    }
    if (line != nullptr && m_frame->Table().IsSelectedRecord(line)) {
        apply(kClassSelection);
    }
    if (colorClass == kClassSearchHit) {
        apply(kClassSearchHit);
    }
    return band;
}

void CPaneWnd::FillBand(QPainter& painter, const QRect& rect, const Band& band, bool force) const {
    if (rect.width() <= 0 || rect.height() <= 0) {
        return;
    }
    if (force || band.back != ColorOf(BackgroundColor())) {
        painter.fillRect(rect, band.back);
    }
}

void CPaneWnd::DrawCells(QPainter& painter, const DisplayLine& line, const char16_t* text, int from,
                         int to, int x, int baseline, const Band& band) {
    const uint16_t* cells = line.Cells();
    const int cw = Cw();
    const size_t need = static_cast<size_t>(std::max(to - from, 0)) + 1;
    if (m_chars.size() < need) {
        m_chars.resize(need);
        m_glyphs.resize(need);
        m_positions.resize(need);
        m_fallbackGlyphs.resize(need);
        m_fallbackPositions.resize(need);
    }
    int count = 0;
    for (int i = from; i < to; ++i) {
        const uint16_t cell = cells[i];
        int cellX = x + (i - from) * cw;
        if ((cell & kCellRightHalf) != 0) {
            if (i != from) {
                continue;  // written with its left half
            }
            cellX -= cw;
        }
        const size_t index = cell & kCellCharMask;
        if (index >= line.textLength) {
            continue;
        }
        m_chars[count] = QChar(text[index]);
        m_positions[count] = QPointF(cellX, baseline);
        ++count;
    }
    if (count == 0) {
        return;
    }
    const QRawFont& raw = band.bold ? m_rawBold : m_raw;
    const QRawFont& fallback = band.bold ? m_rawFallbackBold : m_rawFallback;
    int glyphs = count;
    if (!raw.glyphIndexesForChars(m_chars.data(), count, m_glyphs.data(), &glyphs)) {
        return;
    }
    glyphs = std::min(glyphs, count);
    // Characters the font lacks are written with the Japanese fallback.
    int kept = 0;
    int missing = 0;
    for (int i = 0; i < glyphs; ++i) {
        if (m_glyphs[i] == 0 && fallback.isValid() && fallback.supportsCharacter(m_chars[i])) {
            int one = 1;
            fallback.glyphIndexesForChars(&m_chars[i], 1, &m_fallbackGlyphs[missing], &one);
            m_fallbackPositions[missing++] = m_positions[i];
            continue;
        }
        m_glyphs[kept] = m_glyphs[i];
        m_positions[kept++] = m_positions[i];
    }
    painter.setPen(band.text);
    const auto write = [&](const QRawFont& font, const quint32* indexes, const QPointF* points,
                           int n) {
        if (n == 0) {
            return;
        }
        m_run.setRawFont(font);
        m_run.setRawData(indexes, points, n);
        painter.drawGlyphRun(QPointF(0, 0), m_run);
        if (band.bold && m_fakeBold) {
            painter.drawGlyphRun(QPointF(1, 0), m_run);
        }
    };
    write(raw, m_glyphs.data(), m_positions.data(), kept);
    write(fallback, m_fallbackGlyphs.data(), m_fallbackPositions.data(), missing);
}

void CPaneWnd::Draw(QPainter& painter, const QRect& update) {
    if (update.isEmpty() || m_frame == nullptr || m_frame->LoadedConverter() == nullptr) {
        return;  // the background stays
    }
    const DisplayLineTable& table = m_frame->Table();
    if (table.LineCount() <= 0) {
        return;
    }
    PrepareFonts();
    painter.save();
    const int cw = Cw();
    const int lh = Lh();
    const int m = Margin();
    const int sx = m_scroll.x();
    const int sy = m_scroll.y();
    const int uLeft = update.left();
    const int uRight = update.left() + update.width();
    const int uTop = update.top();
    const int uBottom = update.top() + update.height();
    const QRect client = ClientRect();

    // Columns and lines of the update rectangle.
    const int maxColumns = m_documentSize.width() / cw;
    const int c0 = std::max((std::max(uLeft, m) + sx - m) / cw, 0);
    const int x0 = c0 * cw;
    const int k = std::max(CeilDiv(uRight + sx - x0, cw), 0);
    const int c1 = c0 + k;
    const int right = x0 + k * cw - sx;
    const int firstLine = (std::max(uTop, lh) + sy) / lh;
    const int lineCount = std::max(CeilDiv(uBottom + sy - firstLine * lh, lh), 0);
    const int endLine =
        static_cast<int>(std::min<int64_t>(int64_t{firstLine} + lineCount, table.LineCount()));

    painter.setClipRect(QRect(0, lh, client.width(), std::max(client.height() - lh, 0)),
                        Qt::IntersectClip);
    int y = firstLine * lh - sy;
    for (int n = firstLine; n < endLine; ++n, y += lh) {
        DisplayLine* line = table.Line(n);
        if (line == nullptr) {
            continue;
        }
        const bool blockValid = m_shownBlock >= 0 && m_shownBlock < kPartCount;
        BlockPart part = blockValid ? line->parts[m_shownBlock] : BlockPart{};
        if (part.start > line->cellCount) {
            part = BlockPart{};
        }
        const int start = part.start;
        const int p = std::min<int>(part.count, line->cellCount - part.start);
        int limit = std::min({c1, maxColumns, p});

        const int mark = m_frame->MarkIndex(line);
        const int colorClass = mark >= 0 && p > 0 ? kClassFirstRule + mark : line->colorClass;
        m_frame->MarkSearchHits(nullptr, line, true);
        const Band band = BandOf(colorClass, line);
        if (!band.valid) {
            continue;
        }
        const int bandLeft = x0 - sx + m;
        const std::u16string_view text = table.TextOf(line);
        if (text.empty() || line->cellCount == 0 || !blockValid || p < 1 || c0 >= limit) {
            const int left = uLeft < m ? std::min(uLeft, bandLeft) : bandLeft;
            FillBand(painter, QRect(left, y, right - left, lh), band, false);
            continue;
        }

        const uint16_t* cells = line->Cells() + start;
        int c = c0;
        int x = bandLeft;
        if (c > 0 && (cells[c] & kCellRightHalf) != 0) {
            --c;
            x -= cw;  // the wide character cut by the left edge is written whole
        }
        if (limit < p && (cells[limit - 1] & kCellLeftHalf) != 0) {
            ++limit;  // and the one cut by the right edge is completed
        }
        const int startX = x;
        int fillLeft = uLeft < m ? std::min(uLeft, x) : x;
        const Band hitBand = BandOf(kClassSearchHit, line);
        const int baseline = y + m_ascent;
        for (int i = c; i < limit;) {
            const bool hit = (cells[i] & kCellHit) != 0;
            int j = i + 1;
            while (j < limit && ((cells[j] & kCellHit) != 0) == hit) {
                ++j;
            }
            const int runX = x + (i - c) * cw;
            const int runRight = runX + (j - i) * cw;
            const Band& runBand = hit ? hitBand : band;
            FillBand(painter, QRect(fillLeft, y, runRight - fillLeft, lh), runBand, false);
            DrawCells(painter, *line, text.data(), start + i, start + j, runX, baseline, runBand);
            fillLeft = runRight;
            i = j;
        }
        const int endX = x + (limit - c) * cw;
        if (endX < right) {
            FillBand(painter, QRect(endX, y, right - endX, lh), band, false);
        }
        if (startX < m) {
            FillBand(painter, QRect(0, y, m, lh), band, true);  // no text in the margin
        }
    }
    painter.setClipping(false);
    painter.restore();
    painter.save();
    if (uTop < lh) {
        DrawTitle(painter, update);
    }
    painter.restore();
}

void CPaneWnd::DrawTitle(QPainter& painter, const QRect& update) {
    (void)update;
    const DisplayLineTable& table = m_frame->Table();
    DisplayLine* title = table.Line(0);
    if (title == nullptr) {
        return;
    }
    const int lh = Lh();
    const int cw = Cw();
    const int m = Margin();
    const QRect client = ClientRect();
    const Band band = BandOf(title->colorClass, title);
    if (!band.valid) {
        return;
    }
    painter.setClipRect(QRect(0, 0, client.width(), lh), Qt::IntersectClip);
    FillBand(painter, QRect(0, 0, client.width(), lh), band, true);
    if (m_shownBlock < 0 || m_shownBlock >= kPartCount) {
        return;
    }
    const BlockPart part = title->parts[m_shownBlock];
    const std::u16string_view text = table.TextOf(title);
    if (text.empty() || part.count == 0 || part.start >= title->cellCount) {
        return;
    }
    // The title row does not scroll: its part is written from the margin on.
    const int available = std::max((client.width() - m) / cw + 1, 0);
    const int count =
        std::min({static_cast<int>(part.count), title->cellCount - part.start, available});
    DrawCells(painter, *title, text.data(), part.start, part.start + count, m, m_ascent, band);
}

QString CPaneWnd::WordAt(int x, int y) const {
    if (m_frame == nullptr) {
        return {};
    }
    const DisplayLineTable& table = m_frame->Table();
    const DisplayLine* line = table.Line(LineNumberAt(y));
    if (line == nullptr) {
        return {};
    }
    return ToQString(WordAtCell(*line, table.TextOf(line), m_shownBlock, ColumnAt(x)));
}

bool CPaneWnd::HandleKey(int key) {
    int code = kSbNone;
    switch (key) {
        case Qt::Key_PageUp:
            code = kSbPageUp;
            break;
        case Qt::Key_PageDown:
            code = kSbPageDown;
            break;
        case Qt::Key_End:
            code = kSbBottom;
            break;
        case Qt::Key_Home:
            code = kSbTop;
            break;
        case Qt::Key_Left:
        case Qt::Key_Up:
            code = kSbLineUp;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            code = kSbLineDown;
            break;
        case Qt::Key_Menu: {
            const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
            Post(4, point.x(), point.y());
            return false;  // passed on
        }
        default:
            return false;
    }
    const bool horizontalKey = key == Qt::Key_Left || key == Qt::Key_Right;
    if (horizontalKey && HorizontalBarShown()) {
        OnHScroll(code);
    } else if (m_frame != nullptr && m_frame->VerticalBar().Shown()) {
        m_frame->OnVScroll(code);
    } else if (HorizontalBarShown()) {
        OnHScroll(code);
    }
    return true;
}

void CPaneWnd::keyPressEvent(QKeyEvent* event) {
    if (HandleKey(event->key())) {
        event->accept();
        return;
    }
    event->ignore();
}

void CPaneWnd::Wheel(int direction) {
    if (m_frame == nullptr || !m_frame->VerticalBar().Shown()) {
        BaseWheel(direction);
        return;
    }
    const int page = m_pageStep.y();
    if (page <= 0) {
        return;
    }
    // Five lines with the frame's page step, landing on the line grid.
    const int rest = m_scroll.y() % Lh();
    const int dy = direction > 0 ? page - rest : -(page + rest);
    int first = -1;
    bool moved = false;
    for (int i = 0; i < kPaneCount; ++i) {
        CPaneWnd* pane = m_frame->Pane(i);
        if (pane != nullptr && pane->ScrollByDelta(0, dy, nullptr, nullptr, true) && !moved) {
            moved = true;
            int last = 0;
            pane->VisibleLines(&first, &last, nullptr, nullptr);
        }
    }
    m_frame->Notify(kMsgScrolled, moved ? first : -1, 0);
}

void CPaneWnd::wheelEvent(QWheelEvent* event) {
    const int direction = WheelDirection(event);
    if (direction != 0) {
        Wheel(direction);
    }
    event->accept();
}

void CPaneWnd::Post(int offset, int x, int y) {
    if (m_frame == nullptr || m_frame->NotifyWindow() == nullptr || m_frame->BaseMessage() == 0) {
        return;
    }
    m_frame->Notify(m_frame->BaseMessage() + offset, PackPoint(x, y),
                    reinterpret_cast<intptr_t>(this));
}

void CPaneWnd::mouseMoveEvent(QMouseEvent* event) {
    CScrollWnd::mouseMoveEvent(event);
    const QPoint point = event->position().toPoint();
    Post(0, point.x(), point.y());
}

void CPaneWnd::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        QAbstractScrollArea::mousePressEvent(event);
        Post(event->button() == Qt::LeftButton ? 1 : 4, point.x(), point.y());
        setFocus(Qt::MouseFocusReason);
        return;
    }
    CScrollWnd::mousePressEvent(event);
}

}  // namespace tessary
