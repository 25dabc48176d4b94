#include "display/CScrollWnd.h"

#include <QPaintEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace tessary {

QColor ColorOf(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

uint32_t ColorRefOf(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | static_cast<uint32_t>(color.green()) << 8 |
           static_cast<uint32_t>(color.blue()) << 16;
}

CScrollWnd::CScrollWnd(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);  // WS_TABSTOP; a click takes the focus
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setCursor(Qt::ArrowCursor);
    m_bars[0].Attach(
        horizontalScrollBar(), this, [this](int code) { OnHScroll(code); },
        [this](QWheelEvent* event) { wheelEvent(event); });
    m_bars[1].Attach(
        verticalScrollBar(), this, [this](int code) { OnVScroll(code); },
        [this](QWheelEvent* event) { wheelEvent(event); });
    ApplyBarPolicies();
}

CScrollWnd::~CScrollWnd() = default;

bool CScrollWnd::Create(const QRect& rect, QWidget* parent, int childId, uint32_t backgroundColor) {
    if (parent == nullptr) {
        return false;
    }
    QPalette palette = viewport()->palette();
    if (backgroundColor != kSystemWindowColor) {
        m_backgroundColor = backgroundColor;
        palette.setColor(QPalette::Base, ColorOf(backgroundColor));
    }
    viewport()->setPalette(palette);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setParent(parent);
    setGeometry(rect);
    m_childId = childId;
    m_barStyle |= kKeepHorizontalBar;
    ApplyBarPolicies();
    show();
    if (!OnCreated()) {
        Destroy();
        hide();
        return false;
    }
    if (m_documentSize.width() == 0 || m_documentSize.height() == 0) {
        SetScrollSizes(ClientRect().size(), QPoint(0, 0), QPoint(0, 0));
    }
    return true;
}

void CScrollWnd::Destroy() {
    m_backgroundColor = kSystemWindowColor;
    m_barStyle = 0;
    m_activeBars = 0;
    m_documentSize = QSize();
    m_pageStep = QPoint();
    m_lineStep = QPoint();
    m_scroll = QPoint();
}

void CScrollWnd::ApplyBarPolicies() {
    const Qt::ScrollBarPolicy h =
        (m_barStyle & kKeepHorizontalBar) != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    const Qt::ScrollBarPolicy v =
        (m_barStyle & kKeepVerticalBar) != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(h);
    setVerticalScrollBarPolicy(v);
    m_bars[0].SetPolicy(h);
    m_bars[1].SetPolicy(v);
}

QRect CScrollWnd::ClientRect() const {
    return QRect(QPoint(0, 0), viewport()->size());
}

void CScrollWnd::SetScrollSizes(QSize documentSize, QPoint page, QPoint line) {
    const int pageX = std::max(page.x() != 0 ? page.x() : documentSize.width() / 10, 1);
    const int pageY = std::max(page.y() != 0 ? page.y() : documentSize.height() / 10, 1);
    m_pageStep = QPoint(pageX, pageY);
    m_lineStep = QPoint(std::max(line.x() != 0 ? line.x() : pageX / 10, 1),
                        std::max(line.y() != 0 ? line.y() : pageY / 10, 1));
    const bool changed = documentSize != m_documentSize;
    m_documentSize = documentSize;
    if (changed) {
        UpdateScrollBars(nullptr);
    }
}

void CScrollWnd::SetScrollPosition(int which, int x, int y, bool redraw) {
    if (which == kScrollHorizontal || which == kScrollBoth) {
        m_bars[0].SetPos(x, redraw);
        m_scroll.setX(x);
    }
    if (which == kScrollVertical || which == kScrollBoth) {
        m_bars[1].SetPos(y, redraw);
        m_scroll.setY(y);
    }
}

bool CScrollWnd::SetBarRange(int bar, int32_t max, int32_t page, int32_t position, bool redraw) {
    ScrollInfo info;
    info.min = 0;
    info.max = max;
    info.page = static_cast<uint32_t>(page);
    info.pos = position;
    if (max >= 0) {
        info.mask |= kSifRange;
    }
    if (max != 0) {
        if (page != -1 && static_cast<uint32_t>(page) <= static_cast<uint32_t>(max)) {
            info.mask |= kSifPage;
        }
        if (position >= 0) {
            info.mask |= kSifPos;
        }
    }
    if (info.mask == 0) {
        return true;
    }
    OwnBar(bar).SetInfo(info, redraw);
    return true;
}

int CScrollWnd::UpdateScrollBars(const QRect* area) {
    const QSize size = area != nullptr ? area->size() : ClientRect().size();
    const bool needH = size.width() > 0 && size.width() < m_documentSize.width();
    const bool needV = size.height() > 0 && size.height() < m_documentSize.height();
    const bool keepH = (m_barStyle & kKeepHorizontalBar) != 0;
    const bool keepV = (m_barStyle & kKeepVerticalBar) != 0;
    const bool hShown = m_bars[0].Shown();

    if (needH) {
        SetBarRange(kBarHorizontal, m_documentSize.width() - 1, size.width(), -1, true);
        if (keepH) {
            m_bars[0].Enable(true);
        }
        m_activeBars |= 1;
        if (!keepH && !hShown) {
            return (needH ? 1 : 0) | (needV ? 2 : 0);  // the resize that follows repeats this
        }
    } else {
        if (keepH) {
            SetBarRange(kBarHorizontal, m_documentSize.width() - 1, -1, -1, true);
            m_bars[0].Enable(false);
        } else {
            SetBarRange(kBarHorizontal, 0, -1, -1, true);
        }
        m_activeBars &= ~1u;
        SetScrollPosition(kScrollHorizontal, 0, 0, false);
        if (!keepH && hShown) {
            return (needH ? 1 : 0) | (needV ? 2 : 0);
        }
    }

    if (needV) {
        SetBarRange(kBarVertical, m_documentSize.height() - 1, size.height(), -1, true);
        if (keepV) {
            m_bars[1].Enable(true);
        }
        m_activeBars |= 2;
    } else {
        if (keepV) {
            SetBarRange(kBarVertical, m_documentSize.height() - 1, -1, -1, true);
            m_bars[1].Enable(false);
        } else {
            SetBarRange(kBarVertical, 0, -1, -1, true);
        }
        m_activeBars &= ~2u;
        SetScrollPosition(kScrollVertical, 0, 0, false);
    }

    const QPoint read(m_bars[0].Pos(), m_bars[1].Pos());
    if (read != m_scroll) {
        m_scroll = read;
        viewport()->update();
        return 1;
    }
    return 0;
}

void CScrollWnd::ScrollByCode(int hCode, int vCode, int32_t hAmount, int32_t vAmount) {
    const auto delta = [](int code, int32_t amount, int line, int page, int position,
                          int document) -> int {
        switch (code) {
            case kSbLineUp:
                return amount != 0 ? -amount : -line;
            case kSbLineDown:
                return amount != 0 ? amount : line;
            case kSbPageUp:
                return amount != 0 ? -amount : -page;
            case kSbPageDown:
                return amount != 0 ? amount : page;
            case kSbThumbTrack:
                return amount - position;
            case kSbTop:
                return -position;
            case kSbBottom:
                return document;  // the clamp brings it to the end
            default:              // SB_THUMBPOSITION (tracking moved already), SB_ENDSCROLL, none
                return 0;
        }
    };
    const int dx =
        delta(hCode, hAmount, m_lineStep.x(), m_pageStep.x(), m_scroll.x(), m_documentSize.width());
    const int dy = delta(vCode, vAmount, m_lineStep.y(), m_pageStep.y(), m_scroll.y(),
                         m_documentSize.height());
    ScrollByDelta(dx, dy, nullptr, nullptr, true);
}

bool CScrollWnd::ScrollByDelta(int dx, int dy, const QRect* scrollRect, const QRect* clipRect,
                               bool updateNow) {
    if (dx == 0 && dy == 0) {
        return false;
    }
    const auto clamp = [](int position, int delta, const ScrollInfo& info) {
        int64_t next = int64_t{position} + delta;
        if (next < 0) {
            next = 0;
        } else if (next + info.page > info.max) {
            next = std::max<int64_t>(
                int64_t{info.max} - std::max<int64_t>(int64_t{info.page} - 1, 0), 0);
        }
        return static_cast<int>(next);
    };
    const QPoint old = m_scroll;
    const QPoint next(clamp(old.x(), dx, m_bars[0].Info()), clamp(old.y(), dy, m_bars[1].Info()));
    if (next == old) {
        return false;
    }
    QRect area = scrollRect != nullptr ? *scrollRect : ClientRect();
    if (clipRect != nullptr) {
        area &= *clipRect;
    }
    m_scroll = next;
    viewport()->scroll(old.x() - next.x(), old.y() - next.y(), area);
    m_bars[0].SetPos(next.x(), true);
    m_bars[1].SetPos(next.y(), true);
    (void)updateNow;  // Qt paints the exposed parts in the next event cycle
    return true;
}

void CScrollWnd::PrepareDC(QPainter& painter) {
    painter.translate(-m_scroll.x(), -m_scroll.y());
}

void CScrollWnd::OnHScroll(int code) {
    const ScrollInfo info = m_bars[0].Info();
    const bool thumb = code == kSbThumbTrack || code == kSbThumbPosition;
    ScrollByCode(code, kSbNone, thumb ? info.trackPos : 0, 0);
}

void CScrollWnd::OnVScroll(int code) {
    const ScrollInfo info = m_bars[1].Info();
    const bool thumb = code == kSbThumbTrack || code == kSbThumbPosition;
    ScrollByCode(kSbNone, code, 0, thumb ? info.trackPos : 0);
}

int CScrollWnd::WheelDirection(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    // Fine-grained wheels report parts of a notch; a notch moves once.
    m_wheelRest += delta;
    if (m_wheelRest <= -kWheelDelta) {
        m_wheelRest %= kWheelDelta;
        return 1;
    }
    if (m_wheelRest >= kWheelDelta) {
        m_wheelRest %= kWheelDelta;
        return -1;
    }
    return 0;
}

void CScrollWnd::BaseWheel(int direction) {
    if (m_bars[1].Shown()) {
        ScrollByDelta(0, direction * (m_pageStep.y() / 2), nullptr, nullptr, true);
    } else if (m_bars[0].Shown()) {
        ScrollByDelta(direction * (m_pageStep.x() / 2), 0, nullptr, nullptr, true);
    }
}

void CScrollWnd::wheelEvent(QWheelEvent* event) {
    const int direction = WheelDirection(event);
    if (direction != 0) {
        BaseWheel(direction);
    }
    event->accept();
}

void CScrollWnd::paintEvent(QPaintEvent* event) {
    const QRect update = event->rect();
    QPainter painter(viewport());
    PrepareDC(painter);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(Qt::NoBrush);
    Draw(painter, update);
}

void CScrollWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (m_documentSize.width() != 0 && m_documentSize.height() != 0) {
        UpdateScrollBars(nullptr);
    }
}

void CScrollWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

}  // namespace tessary
