#include "GuiDriver.h"

#include <QAction>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProcessEnvironment>

#include "display/CPaneFrame.h"
#include "display/CPaneWnd.h"
#include "mainwnd/CMainDlg.h"
#include "tools/CProgressDlg.h"

namespace tessary::test {

bool ActivateWindow(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

void PressKey(QWidget* fallback, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : fallback, key, modifiers);
    QCoreApplication::processEvents();
}

void TypeOver(QWidget* edit, const QString& text) {
    if (auto* box = qobject_cast<QComboBox*>(edit)) {
        edit = box->lineEdit();
    }
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QString pending;
    const auto commit = [&] {
        if (!pending.isEmpty()) {
            QInputMethodEvent event;
            event.setCommitString(pending);
            QApplication::sendEvent(edit, &event);
            pending.clear();
        }
    };
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            commit();
            QTest::keyClick(edit, c.toLatin1());
        } else {
            pending.append(c);
        }
    }
    commit();
}

void TypeOverAndEnter(QWidget* edit, const QString& text) {
    TypeOver(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void TypeOverAndClick(QWidget* edit, const QString& text, QWidget* button) {
    TypeOver(edit, text);
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

QMenu* PopupOf(CMainDlg& window, int id) {
    QAction* item = window.MenuAction(id);
    return item != nullptr ? qobject_cast<QMenu*>(item->parent()) : nullptr;
}

QMenu* OpenedPopup(CMainDlg& window, int id) {
    QMenu* popup = PopupOf(window, id);
    if (popup != nullptr) {
        emit popup->aboutToShow();
    }
    return popup;
}

QAction* OpenedItem(CMainDlg& window, int id) {
    OpenedPopup(window, id);
    return window.MenuAction(id);
}

QAction* ItemWithText(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QPoint PointOfLine(CPaneFrame& frame, CPaneWnd* pane, int32_t n) {
    frame.ShowLine(frame.Line(n), false, false, false);
    const int lh = frame.LineHeight();
    return QPoint(frame.Margin() + 2 * frame.CharWidth(),
                  n * lh - pane->ScrollPosition().y() + lh / 2);
}

bool LineInView(CPaneFrame& frame, int32_t n) {
    int first = -1;
    int last = -1;
    frame.VisiblePane()->VisibleLines(&first, &last, nullptr, nullptr);
    return first <= n && n <= last;
}

int32_t SelectedLine(const CPaneFrame& frame) {
    const DisplayLine* line = frame.SelectionLine();
    return line != nullptr ? line->lineNumber : 0;
}

bool RightClickMenu(CPaneWnd* pane, const QPoint& at, const QMenu* expected, int choose,
                    MenuVisit* visit) {
    bool handled = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (popup == nullptr) {
            return;
        }
        poll.stop();
        visit->shown = popup == expected;
        QAction* chosen = nullptr;
        const QList<QAction*> actions = popup->actions();
        for (QAction* action : actions) {
            if (action->isSeparator()) {
                continue;
            }
            visit->ids << action->data().toInt();
            visit->texts << action->text();
            visit->enabled << action->isEnabled();
            if (choose != 0 && action->data().toInt() == choose && action->isEnabled()) {
                chosen = action;
            }
        }
        visit->separatorAfterFirst = actions.size() > 1 && actions[1]->isSeparator();
        if (chosen != nullptr) {
            QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(chosen).center());
        }
        if (QApplication::activePopupWidget() == popup) {
            popup->close();
        }
        handled = true;
    });
    poll.start();
    QTest::mouseClick(pane->viewport(), Qt::RightButton, {}, at);
    return QTest::qWaitFor([&] { return handled && QApplication::activePopupWidget() == nullptr; });
}

ProgressShown::ProgressShown() {
    qApp->installEventFilter(this);
}

ProgressShown::~ProgressShown() {
    qApp->removeEventFilter(this);
}

bool ProgressShown::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        if (auto* progress = qobject_cast<CProgressDlg*>(watched)) {
            titles << progress->windowTitle();
            subtitles << progress->MessageText();
        }
    }
    return false;
}

Printed RunTessarydump(const QStringList& arguments, const std::string& configHome) {
    QProcess dump;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(configHome));
    dump.setProcessEnvironment(environment);
    dump.start(QStringLiteral(TESSARY_BINARY_DIR "/src/cli/tessarydump"), arguments);
    Printed printed;
    if (dump.waitForFinished(120000) && dump.exitStatus() == QProcess::NormalExit) {
        printed.exitCode = dump.exitCode();
        printed.out = QString::fromUtf8(dump.readAllStandardOutput());
        printed.err = QString::fromUtf8(dump.readAllStandardError());
    }
    return printed;
}

}  // namespace tessary::test
