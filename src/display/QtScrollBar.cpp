#include "display/QtScrollBar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

namespace tessary {

void QtScrollBar::Attach(QScrollBar* bar, QWidget* owner, CodeHandler onCode,
                         WheelHandler onWheel) {
    m_bar = bar;
    m_owner = owner;
    m_onCode = std::move(onCode);
    m_onWheel = std::move(onWheel);
    if (m_bar == nullptr) {
        return;
    }
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->setTracking(true);
    m_bar->installEventFilter(this);
    QObject::connect(m_bar, &QAbstractSlider::actionTriggered, this,
                     [this](int action) { OnAction(action); });
    Sync();
}

void QtScrollBar::SetInfo(const ScrollInfo& info, bool redraw) {
    if ((info.mask & kSifRange) != 0) {
        m_info.min = info.min;
        m_info.max = std::max(info.min, info.max);
    }
    if ((info.mask & kSifPage) != 0) {
        m_info.page = info.page;
    }
    if ((info.mask & kSifPos) != 0) {
        m_info.pos = info.pos;
    }
    // The system keeps the page within the range and the position within the pages.
    const int64_t span = static_cast<int64_t>(m_info.max) - m_info.min + 1;
    if (static_cast<int64_t>(m_info.page) > span) {
        m_info.page = static_cast<uint32_t>(span);
    }
    m_info.pos = std::clamp(m_info.pos, m_info.min, QtMaximum());
    Sync();
    if (redraw && m_bar != nullptr) {
        m_bar->update();
    }
}

ScrollInfo QtScrollBar::Info() const {
    ScrollInfo info = m_info;
    info.mask = kSifAll;
    info.trackPos = m_tracking && m_bar != nullptr ? m_bar->sliderPosition() : m_info.pos;
    return info;
}

int32_t QtScrollBar::SetPos(int32_t pos, bool redraw) {
    const int32_t previous = m_info.pos;
    ScrollInfo info;
    info.mask = kSifPos;
    info.pos = pos;
    SetInfo(info, redraw);
    return previous;
}

void QtScrollBar::Enable(bool enable) {
    if (m_bar != nullptr) {
        m_bar->setEnabled(enable);
    }
}

bool QtScrollBar::Shown() const {
    if (m_bar == nullptr || m_policy == Qt::ScrollBarAlwaysOff || !m_bar->isEnabled()) {
        return false;
    }
    if (m_policy == Qt::ScrollBarAsNeeded && QtMaximum() <= m_info.min) {
        return false;
    }
    // On screen: its window is shown (panes are hidden while a conversion fills the table).
    return m_owner == nullptr || m_owner->isVisible();
}

void QtScrollBar::Track(int32_t trackPos) {
    if (m_bar == nullptr) {
        return;
    }
    m_tracking = true;
    m_syncing = true;
    m_bar->setSliderPosition(std::clamp(trackPos, m_info.min, QtMaximum()));
    m_syncing = false;
    if (m_onCode) {
        m_onCode(kSbThumbTrack);
    }
}

void QtScrollBar::Release() {
    if (m_tracking && m_onCode) {
        m_onCode(kSbThumbPosition);
    }
    m_tracking = false;
    Sync();
    if (m_onCode) {
        m_onCode(kSbEndScroll);
    }
}

bool QtScrollBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_bar) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Wheel:
            if (m_onWheel) {
                m_onWheel(static_cast<QWheelEvent*>(event));
                return true;
            }
            return false;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                // The bar ends its drag after this; the model already holds the position.
                if (m_tracking && m_onCode) {
                    m_onCode(kSbThumbPosition);
                }
                m_tracking = false;
                if (m_onCode) {
                    m_onCode(kSbEndScroll);
                }
            }
            return false;
        default:
            return false;
    }
}

void QtScrollBar::OnAction(int action) {
    if (m_syncing || m_bar == nullptr) {
        return;
    }
    int code = kSbNone;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            code = kSbLineUp;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            code = kSbLineDown;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = kSbPageUp;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = kSbPageDown;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = kSbTop;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = kSbBottom;
            break;
        case QAbstractSlider::SliderMove:
            code = kSbThumbTrack;
            m_tracking = true;
            break;
        default:
            break;
    }
    if (code != kSbNone && m_onCode) {
        m_onCode(code);
    }
    // The slider shows the model's position, not its own guess.
    m_syncing = true;
    m_bar->setSliderPosition(m_info.pos);
    m_syncing = false;
}

int32_t QtScrollBar::QtMaximum() const {
    const int64_t last =
        static_cast<int64_t>(m_info.max) - std::max<int64_t>(int64_t{m_info.page} - 1, 0);
    return static_cast<int32_t>(std::max<int64_t>(last, m_info.min));
}

void QtScrollBar::Sync() {
    if (m_bar == nullptr) {
        return;
    }
    m_syncing = true;
    m_bar->setRange(m_info.min, QtMaximum());
    m_bar->setPageStep(static_cast<int>(std::min<uint32_t>(m_info.page, 0x7FFFFFFF)));
    if (!m_tracking) {
        m_bar->setValue(m_info.pos);
    }
    m_syncing = false;
}

}  // namespace tessary
