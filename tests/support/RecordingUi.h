#pragma once
// A UI service for tests without windows: it answers questions from a script, records every
// message box in order, and declines the file, folder and colour dialogs.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/UiService.h"
#include "platform/Utf.h"

namespace tessary::test {

class RecordingUi : public UiService {
public:
    struct Shown {
        std::u16string text;
        std::u16string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    // Questions take `answers` in order, then `otherwise`; a question with neither left is a
    // test failure (answered No). A box with only OK answers OK.
    std::deque<Answer> answers;
    std::optional<Answer> otherwise;
    std::vector<Shown> shown;

    Answer ShowMessage(std::u16string_view text, std::u16string_view caption, MessageIcon icon,
                       MessageButtons buttons) override {
        shown.push_back({std::u16string(text), std::u16string(caption), icon, buttons});
        if (buttons == MessageButtons::kOk) {
            return Answer::kOk;
        }
        if (!answers.empty()) {
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        if (otherwise) {
            return *otherwise;
        }
        ADD_FAILURE() << "unexpected question: " << Utf8(text);
        return Answer::kNo;
    }
    bool CloseMessage(std::u16string_view) override { return false; }
    bool AskOpenFile(OpenFileRequest&) override { return false; }
    bool AskFolder(std::u16string_view, PathString&) override { return false; }
    bool AskColor(std::u16string_view, uint32_t&) override { return false; }

    // The questions (question icon) and the other boxes, each in the order shown.
    std::vector<Shown> Questions() const { return Filter(true); }
    std::vector<Shown> Messages() const { return Filter(false); }

private:
    std::vector<Shown> Filter(bool questions) const {
        std::vector<Shown> list;
        for (const Shown& entry : shown) {
            if ((entry.icon == MessageIcon::kQuestion) == questions) {
                list.push_back(entry);
            }
        }
        return list;
    }
};

}  // namespace tessary::test
