#pragma once
// A UI service that answers from a script and records every message box, the logs of the
// window tests (written with insloggen through the shared test support), and the main window
// as the window tests set it up.
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSize>
#include <QString>
#include <QTest>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/OpenFlow.h"
#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "support/GeneratedLog.h"
#include "support/TempDir.h"

namespace tessary::test {

struct ShownMessage {
    QString text;
    QString caption;
    MessageIcon icon;
    MessageButtons buttons;
};

class FakeUi : public UiService {
public:
    FakeUi() { m_previous = SetUi(this); }
    ~FakeUi() override { SetUi(m_previous); }

    // Answers in order; an empty queue answers OK / No.
    std::deque<Answer> answers;
    // Runs inside a message box, as if events arrived while it is open.
    std::function<void(const ShownMessage&)> whileOpen;
    std::vector<ShownMessage> messages;
    QStringList closed;
    // The open-file dialog: the path to choose (empty: cancel) and the check states to leave.
    std::string openPath;
    std::vector<bool> openChecks;
    std::vector<OpenFileRequest> openRequests;
    // The folder dialog: the folder to choose (empty: cancel) and the folders it started at.
    std::string folderPath;
    std::vector<std::string> folderStarts;
    // The colour dialog: the colours to choose in order (none left: cancel), the titles it was
    // opened with, and what to do while it is open.
    std::deque<uint32_t> colors;
    QStringList colorTitles;
    std::function<void(const QString& title)> whileColorOpen;

    Answer ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon icon,
                       MessageButtons buttons) override {
        ShownMessage shown{ToQString(text), ToQString(caption), icon, buttons};
        messages.push_back(shown);
        if (whileOpen) {
            whileOpen(shown);
        }
        if (!answers.empty()) {
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::kOk ? Answer::kOk : Answer::kNo;
    }
    bool CloseMessage(std::u16string_view captionPrefix) override {
        closed.push_back(ToQString(captionPrefix));
        return true;
    }
    bool AskOpenFile(OpenFileRequest& request) override {
        for (size_t i = 0; i < openChecks.size() && i < request.checks.size(); ++i) {
            request.checks[i].checked = openChecks[i];
        }
        openRequests.push_back(request);
        if (openPath.empty()) {
            return false;
        }
        request.path = openPath;
        return true;
    }
    bool AskFolder(std::u16string_view, PathString& folder) override {
        folderStarts.push_back(folder);
        if (folderPath.empty()) {
            return false;
        }
        folder = folderPath;
        return true;
    }
    bool AskColor(std::u16string_view title, uint32_t& color) override {
        colorTitles << ToQString(title);
        if (whileColorOpen) {
            whileColorOpen(colorTitles.back());
        }
        if (colors.empty()) {
            return false;
        }
        color = colors.front();
        colors.pop_front();
        return true;
    }

    // Captions of every message shown so far.
    QStringList Captions() const {
        QStringList list;
        for (const ShownMessage& message : messages) {
            list << message.caption;
        }
        return list;
    }

private:
    UiService* m_previous = nullptr;
};

inline std::string DemoLogPath() {
    return std::string(TESSARY_SOURCE_DIR) + "/samples/demo.dat";
}

// The main window of a test class (which derives from it beside QObject), with the UI service
// replaced and a temporary folder, and what the tests do to it as a person would.
class MainWindowFixture {
protected:
    static constexpr QSize kWindowSize{1280, 800};

    std::unique_ptr<FakeUi> m_ui;
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<CMainDlg> m_window;

    CMainDlg& Window() { return *m_window; }
    CPaneFrame& Frame() { return *m_window->Frame(); }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(m_window->Control(id)); }
    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(m_window->Control(id)); }

    // The UI service and the folder, for a test that writes its logs before the window comes.
    void StartUi() {
        m_ui = std::make_unique<FakeUi>();
        m_dir = std::make_unique<TempDir>();
    }
    // A new main window, initialised, at `size` (an invalid size: its own), shown and exposed.
    // The initialisation's failure text goes to `failure`.
    bool ShowWindow(QSize size = kWindowSize, std::u16string* failure = nullptr) {
        m_window = std::make_unique<CMainDlg>();
        std::u16string text;
        if (!m_window->Initialize(failure != nullptr ? failure : &text)) {
            return false;
        }
        if (size.isValid()) {
            m_window->resize(size);
        }
        m_window->show();
        return QTest::qWaitForWindowExposed(m_window.get());
    }
    bool StartWindow(QSize size = kWindowSize, std::u16string* failure = nullptr) {
        StartUi();
        return ShowWindow(size, failure);
    }
    void CloseWindow() {
        m_window.reset();
        m_ui.reset();
        m_dir.reset();
    }

    // Makes the window the active one, as a person's click on it does; window shortcuts need it.
    bool Activate() { return ActivateWindow(m_window.get()); }
    // Opens `path` (asking for the line of a two-line file) and activates the window again.
    bool Load(const std::string& path) {
        return Window().Open(path, kLineAsk) == kOpenResultDone && Activate();
    }
    // A key press where the keyboard focus is (at the window while nothing has it).
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        PressKey(m_window.get(), key, modifiers);
    }
    // A menu-bar item as the person finds it: its popup has just been opened.
    QAction* OpenedItem(int id) { return tessary::test::OpenedItem(Window(), id); }
};

}  // namespace tessary::test
