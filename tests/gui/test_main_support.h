#pragma once
// A UI service that answers from a script and records every message box, and the logs of the
// window tests (written with insloggen through the shared test support).
#include <QCoreApplication>
#include <QString>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/QtText.h"
#include "platform/QtUiService.h"
#include "support/GeneratedLog.h"

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

}  // namespace tessary::test
