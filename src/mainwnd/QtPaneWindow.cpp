#include "mainwnd/QtPaneWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "display/CPaneWnd.h"
#include "display/QtAppEvent.h"
#include "display/QtWheelRedirect.h"
#include "mainwnd/QtPaneNotices.h"
#include "resources/QtDialogControls.h"
#include "resources/ResourceIds.h"

namespace tessary {

QtPaneWindow::QtPaneWindow(QWidget* parent) : QDialog(parent) {}

QtPaneWindow::~QtPaneWindow() {
    qApp->removeEventFilter(this);
}

QWidget* QtPaneWindow::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

QString QtPaneWindow::StatusText(int pane) const {
    return StatusPaneText(m_statusPanes, pane);
}

void QtPaneWindow::SetStatusText(int pane, std::u16string_view text) {
    SetStatusPaneText(m_statusPanes, pane, text);
}

void QtPaneWindow::ShowStatusNow(std::u16string_view text) {
    SetStatusText(0, text);
    if (QLabel* pane = m_statusPanes[0]) {
        pane->repaint();
    }
}

bool QtPaneWindow::PrepareContextMenu(CPaneWnd* pane, int x, int y) {
    if (ContextMenu() == nullptr || pane == nullptr) {
        return false;
    }
    m_contextPane = pane->Position();
    m_currentLine = pane->LineNumberAt(y);
    PrepareContextItems(pane, x, y);
    return true;
}

bool QtPaneWindow::ExecuteCommand(int id) {
    SetStatusText(0, {});
    const bool ran = m_commands.Execute(id);
    RefreshControls();
    return ran;
}

void QtPaneWindow::PostNotify(uint32_t message, uintptr_t wParam, void* lParam) {
    PostAppMessage(this, static_cast<int>(message), static_cast<intptr_t>(wParam),
                   reinterpret_cast<intptr_t>(lParam));
}

void QtPaneWindow::OnReaderNotify(intptr_t wParam, intptr_t lParam) {
    if (m_notices != nullptr) {
        m_notices->ForwardReaderNotify(wParam, lParam, m_progress);
    }
}

bool QtPaneWindow::event(QEvent* event) {
    if (!QtAppEvent::IsAppMessage(event)) {
        return QDialog::event(event);
    }
    const auto* message = static_cast<const QtAppEvent*>(event);
    if (message->Message() == kMsgReaderNotify) {
        OnReaderNotify(message->WParam(), message->LParam());
        return true;
    }
    if (QtPaneNotices::HandleWindowMessage(
            m_notices.get(), *message, ContextMenu(),
            [this](CPaneWnd* pane, int x, int y) { return PrepareContextMenu(pane, x, y); })) {
        return true;
    }
    return QDialog::event(event);
}

bool QtPaneWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client) {
        if (event->type() == QEvent::Resize) {
            LayoutClient();
        } else if (QtAppEvent::IsAppMessage(event)) {
            // The pane frame lives in the client area and notifies it; the window handles it.
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
        // A go-to edit that gains the focus offers its whole text for typing over.
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress) {
        return false;
    }
    SetStatusText(0, {});
    return type == QEvent::KeyPress && FilterKey(watched, static_cast<QKeyEvent*>(event));
}

bool QtPaneWindow::FilterKey(QObject*, QKeyEvent*) {
    return false;
}

void QtPaneWindow::keyPressEvent(QKeyEvent* event) {
    // Esc (IDCANCEL) does not close the window; Enter (IDOK) runs the go-to commands.
    if (!HandleDialogKey(event, focusWidget(), m_controls,
                         [this](int id) { ExecuteCommand(id); })) {
        QDialog::keyPressEvent(event);
    }
}

void QtPaneWindow::LayoutClient() {
    PlaceFrame();
}

QVBoxLayout* QtPaneWindow::CreateClientArea() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);
    m_client = new QWidget(this);
    layout->addWidget(m_client, 1);
    return layout;
}

void QtPaneWindow::CreateStatusBar(const QFont& font, int charWidth) {
    m_statusBar = CreateStatusPanes(this, font, charWidth, m_statusPanes);
    static_cast<QVBoxLayout*>(layout())->addWidget(m_statusBar);
    m_controls[res::kIdcStatusBar] = m_statusBar;
}

std::optional<QtPaneWindow::FrameFailure> QtPaneWindow::CreatePaneFrame() {
    QWidget* placeholder = Control(res::kIdcPaneFrame);
    if (placeholder == nullptr || m_frame == nullptr) {
        return FrameFailure::kMissing;
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
        return FrameFailure::kCreate;
    }
    m_frame->setProperty("controlId", res::kIdcPaneFrame);
    m_notices = std::make_unique<QtPaneNotices>(QtPaneNotices::Window{
        m_frame, [this](int pane, std::u16string_view text) { SetStatusText(pane, text); },
        [this](int id) { return Control(id); }, [this] { RefreshControls(); }});
    return std::nullopt;
}

void QtPaneWindow::PlaceFrame() {
    if (m_client == nullptr || m_frame == nullptr || m_frame->parentWidget() != m_client) {
        return;
    }
    const QSize client = m_client->size();
    m_frame->setGeometry(m_frameLeft, m_frameTop,
                         std::max(0, client.width() - m_frameLeft - m_frameRight),
                         std::max(0, client.height() - m_frameTop - m_frameBottom));
}

void QtPaneWindow::WatchInput() {
    m_client->installEventFilter(this);
    qApp->installEventFilter(this);
    new QtWheelRedirect(this);
}

}  // namespace tessary
