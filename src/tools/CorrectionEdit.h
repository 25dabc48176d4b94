#pragma once
// What the correction window works on: the selected line's current and uncorrected times, the
// texts it shows, and the apply step that turns an entered date/time into a new correction.
#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

class CLogFileRead;
class UiService;
struct MessageRecord;

// The correction window's end codes besides the cancel code (IDCANCEL).
inline constexpr int kDiffTimeApplied = 1;
inline constexpr int kDiffTimeFailed = -1;

class CorrectionEdit {
public:
    // The window's start checks. True when the line can be corrected; otherwise false with
    // Message() (the window shows it and ends with -1).
    bool Init(CLogFileRead* reader, const MessageRecord* line);

    // Apply: parses the entered text and, after the confirmation, sets the reader's start
    // correction and base time. True when applied (the window ends with 1); false when the user
    // stays in the window (a message was shown through `ui`, or the confirmation declined).
    bool Apply(std::u16string_view input, std::u16string_view caption, UiService& ui);

    const std::u16string& Message() const { return m_message; }
    int64_t CurrentTime() const { return m_currentTime; }
    const std::u16string& CurrentLong() const { return m_currentLong; }
    // The edit box's starting text, and the text of the "補正日時" button.
    const std::u16string& CurrentShort() const { return m_currentShort; }
    // The text of the "初期状態に戻す" button.
    const std::u16string& UncorrectedShort() const { return m_uncorrectedShort; }
    // Appended to the group box's own text; "無" when there is no correction.
    const std::u16string& GroupSuffix() const { return m_groupSuffix; }
    bool CanReset() const { return m_canReset; }

private:
    CLogFileRead* m_reader = nullptr;
    int64_t m_currentTime = 0;
    int64_t m_uncorrectedTime = 0;
    std::u16string m_currentLong;
    std::u16string m_currentShort;
    std::u16string m_uncorrectedShort;
    std::u16string m_groupSuffix;
    std::u16string m_message;
    bool m_canReset = false;
};

}  // namespace tessary
