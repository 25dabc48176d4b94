#pragma once
// Shared parts of the tool tests: a prompt that answers from a script and records what it was
// shown, and a converted log.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "decode/CTessaryCan.h"
#include "decode/CanPara.h"
#include "logfile/Status.h"
#include "platform/Utf.h"
#include "tools/CorrectionPrompt.h"

namespace tessary::test {

class ScriptedPrompt : public CorrectionPrompt {
public:
    struct Shown {
        std::string text;
        std::string caption;
        bool question;
        bool withCancel;
    };

    int Ask(std::u16string_view text, std::u16string_view caption, bool withCancel) override {
        shown.push_back({Utf8(text), Utf8(caption), true, withCancel});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << Utf8(text);
            return kAnswerNo;
        }
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void Warn(std::u16string_view text, std::u16string_view caption) override {
        shown.push_back({Utf8(text), Utf8(caption), false, false});
    }

    std::vector<int> answers;
    std::vector<Shown> shown;
};

// Opens and converts a log with default settings; the file stays open.
inline std::unique_ptr<CTessaryCan> Convert(const std::string& path, CanPara& para) {
    auto converter = std::make_unique<CTessaryCan>(path, &para);
    if (converter->OpenStatus() != kOpenOk) {
        ADD_FAILURE() << "open status " << converter->OpenStatus();
        return converter;
    }
    const int32_t started = converter->StartPass(nullptr, nullptr, nullptr);
    EXPECT_EQ(started, kStatusDone);
    if (started == kStatusDone) {
        converter->WaitForWalk();
    }
    return converter;
}

}  // namespace tessary::test
