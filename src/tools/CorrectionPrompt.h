#pragma once
// The questions and messages of the correction tools, answered by the window (or a test).
#include <string_view>

namespace tessary {

// Message box answers, as IDYES / IDNO / IDCANCEL.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerCancel = 2;

class CorrectionPrompt {
public:
    virtual ~CorrectionPrompt() = default;
    // A question with a question icon: Yes and No, or Yes, No and Cancel. Returns an answer.
    virtual int Ask(std::u16string_view text, std::u16string_view caption, bool withCancel) = 0;
    // A message with a warning icon and OK.
    virtual void Warn(std::u16string_view text, std::u16string_view caption) = 0;
};

}  // namespace tessary
