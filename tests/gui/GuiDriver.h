#pragma once
// What the window tests do as a person would, written once for all of them: making a window the
// active one, pressing a key where the focus is, typing over an edit, opening a menu-bar popup,
// right-clicking a pane and working the context menu that pops up, acting in a modal dialog while
// the command that opened it waits, watching the progress dialogs; and running tessarydump beside
// the viewer to compare with what it prints.
#include <QApplication>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

class QAction;
class QLineEdit;
class QMenu;
class QWidget;

namespace tessary {
class CMainDlg;
class CPaneFrame;
class CPaneWnd;
}  // namespace tessary

namespace tessary::test {

// Makes `window` the active one, as a person's click on it does; window shortcuts need it.
bool ActivateWindow(QWidget* window);

// A key press where the keyboard focus is, or at `fallback` while nothing has the focus.
void PressKey(QWidget* fallback, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Types `text` over the whole contents of `edit` (or of a combo box's edit field) as a person
// does: a click into it, Ctrl+A and Delete, then ASCII through the keys and other characters as
// an input method commits them.
void TypeOver(QWidget* edit, const QString& text);
// The same, then Enter in the edit.
void TypeOverAndEnter(QWidget* edit, const QString& text);
// The same, then a click on `button`.
void TypeOverAndClick(QWidget* edit, const QString& text, QWidget* button);

// The popup that holds menu-bar item `id` of the main window, or nullptr.
QMenu* PopupOf(CMainDlg& window, int id);
// The popup that holds menu-bar item `id`, as the person opens it: it has just been shown.
QMenu* OpenedPopup(CMainDlg& window, int id);
// A menu-bar item as the person finds it: its popup has just been opened.
QAction* OpenedItem(CMainDlg& window, int id);
// The item of `menu` whose text is `text`, or nullptr.
QAction* ItemWithText(QMenu* menu, const QString& text);

// A point in display line `n` of `pane` after scrolling it into view.
QPoint PointOfLine(CPaneFrame& frame, CPaneWnd* pane, int32_t n);
// Whether display line `n` is among the lines the visible pane shows.
bool LineInView(CPaneFrame& frame, int32_t n);
// The line number of the selected message's line, 0 for none.
int32_t SelectedLine(const CPaneFrame& frame);

// What a context menu held while it was open.
struct MenuVisit {
    bool shown = false;  // the popup was the menu the test expected
    QList<int> ids;
    QStringList texts;
    QList<bool> enabled;
    bool separatorAfterFirst = false;

    qsizetype IndexOf(int id) const { return ids.indexOf(id); }
    QString TextOf(int id) const { return ids.contains(id) ? texts[ids.indexOf(id)] : QString(); }
    bool EnabledOf(int id) const { return ids.contains(id) && enabled[ids.indexOf(id)]; }
};

// A real right click on `pane` at `at`. While the popup it opens is up, its items go to `visit`
// (`shown` when it is `expected`) and the item `choose` is clicked (0, or a disabled item: the
// menu is closed). Answers whether a popup came and has gone again.
bool RightClickMenu(CPaneWnd* pane, const QPoint& at, const QMenu* expected, int choose,
                    MenuVisit* visit);

// Runs `start`, a command that opens a modal `Dialog` and returns once it has closed; while the
// dialog is up, `act` works in it (and should end it). Answers whether the dialog came.
template <typename Dialog>
bool WhileModal(const std::function<void()>& start, const std::function<void(Dialog&)>& act) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll.stop();
        seen = true;
        act(*dialog);
    });
    poll.start();
    start();
    poll.stop();
    return seen;
}

// The title and subtitle of every progress dialog shown while it lives.
class ProgressShown : public QObject {
public:
    ProgressShown();
    ~ProgressShown() override;
    QStringList titles;
    QStringList subtitles;
    int Count() const { return static_cast<int>(titles.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// What tessarydump printed and how it ended; exit code -1 when it did not end normally.
struct Printed {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs tessarydump with `arguments` and the settings of a new viewer (its user settings in the
// folder `configHome`, where none are stored).
Printed RunTessarydump(const QStringList& arguments, const std::string& configHome);

}  // namespace tessary::test
