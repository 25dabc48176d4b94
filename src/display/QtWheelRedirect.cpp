#include "display/QtWheelRedirect.h"

#include <QCoreApplication>
#include <QWheelEvent>

#include "display/CPaneWnd.h"

namespace tessary {

QtWheelRedirect::QtWheelRedirect(QWidget* window) : QObject(window), m_window(window) {
    QCoreApplication::instance()->installEventFilter(this);
}

QtWheelRedirect::~QtWheelRedirect() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeEventFilter(this);
    }
}

CPaneWnd* QtWheelRedirect::PaneOf(QWidget* widget) {
    for (QWidget* each = widget; each != nullptr; each = each->parentWidget()) {
        if (auto* pane = dynamic_cast<CPaneWnd*>(each)) {
            return pane;
        }
        if (each->isWindow()) {
            break;
        }
    }
    return nullptr;
}

CPaneWnd* QtWheelRedirect::PaneAt(const QPoint& globalPos) const {
    if (m_window == nullptr) {
        return nullptr;
    }
    // Only this window's own children: a popup or another window above it is not a pane.
    QWidget* under = m_window->childAt(m_window->mapFromGlobal(globalPos));
    CPaneWnd* pane = PaneOf(under);
    return pane != nullptr && pane->isVisible() ? pane : nullptr;
}

bool QtWheelRedirect::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || m_window == nullptr || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_window || !m_window->isActiveWindow()) {
        return false;
    }
    if (CPaneWnd* target = PaneOf(widget)) {
        // The turn reaches the pane as it is; the pane takes the focus as if it had been sent.
        if (!target->hasFocus()) {
            target->setFocus(Qt::MouseFocusReason);
        }
        return false;
    }
    const auto* wheel = static_cast<QWheelEvent*>(event);
    CPaneWnd* pane = PaneAt(wheel->globalPosition().toPoint());
    if (pane == nullptr) {
        return false;
    }
    pane->setFocus(Qt::MouseFocusReason);
    // A scroll area takes wheel turns on its viewport only; the pane itself would drop them.
    QWidget* view = pane->viewport();
    QWheelEvent moved(view->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                      wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                      wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source(),
                      wheel->pointingDevice());
    moved.setTimestamp(wheel->timestamp());
    QCoreApplication::sendEvent(view, &moved);
    return true;
}

}  // namespace tessary
