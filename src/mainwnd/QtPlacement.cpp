#include "mainwnd/QtPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tessary {

PlacementRestore RestoreWindowPlacement(QWidget* window, const WindowPlacement& placement) {
    const QRect rect(placement.left, placement.top, placement.right - placement.left,
                     placement.bottom - placement.top);
    if (rect.width() <= 0 || rect.height() <= 0) {
        return PlacementRestore::kNothingStored;
    }
    if (QGuiApplication::screenAt(rect.center()) == nullptr) {
        return PlacementRestore::kOffScreen;
    }
    window->setGeometry(rect);
    if (placement.showCmd == kShowMaximized) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    }
    return PlacementRestore::kRestored;
}

void StoreWindowPlacement(const QWidget* window, WindowPlacement& placement) {
    const QRect normal =
        window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    placement.showCmd = window->isMaximized() ? kShowMaximized : kShowNormal;
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
}

}  // namespace tessary
