#pragma once
// The mouse wheel of a top-level window scrolls the block pane under the cursor, wherever the
// focus is: an application-wide filter that, while the window is active, hands a wheel turn
// over any other widget of the window to that pane, which also takes the focus. A turn that
// already reaches a pane (its viewport, its own bar) is left as it is; the pane takes the focus.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace tessary {

class CPaneWnd;

class QtWheelRedirect : public QObject {
public:
    // Installs itself on the application for `window` (a top-level window); owned by it.
    explicit QtWheelRedirect(QWidget* window);
    ~QtWheelRedirect() override;

    // The block pane of the window at a global point, or nullptr.
    CPaneWnd* PaneAt(const QPoint& globalPos) const;
    // The block pane that `widget` is or lies inside, or nullptr.
    static CPaneWnd* PaneOf(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};

}  // namespace tessary
