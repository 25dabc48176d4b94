#include "tools/CorrectionEdit.h"

#include "decode/MessageRecord.h"
#include "logfile/CLogFileRead.h"
#include "logfile/LogTime.h"
#include "platform/Calendar.h"
#include "platform/FormatText.h"
#include "platform/TimeMath.h"
#include "platform/UiService.h"
#include "tools/CorrectionMessages.h"
#include "tools/DateTimeInput.h"
#include "tools/StartCorrection.h"

namespace tessary {

namespace ct = correctiontext;

bool CorrectionEdit::Init(CLogFileRead* reader, const MessageRecord* line) {
    m_reader = reader;
    if (reader == nullptr) {
        m_message = std::u16string(ct::kNoLog);
        return false;
    }
    if (line == nullptr) {
        m_message = std::u16string(ct::kNoLine);
        return false;
    }
    SystemTime current{};
    const bool usable = (line->Flags & (kRecordWarning | kRecordError)) == 0 &&
                        line->Layer != kNoLayer && reader->BaseTime() != 0 &&
                        AddMsToTicks(reader->BaseTime(), line->Time, m_currentTime) &&
                        TicksToSystemTime(m_currentTime, current);
    SystemTime uncorrected{};
    int64_t uncorrectedMs = 0;
    if (!usable ||
        !CheckedSub(static_cast<int64_t>(line->Time), reader->StartCorrection(), uncorrectedMs) ||
        !AddMsToTicks(reader->BaseTime(), uncorrectedMs, m_uncorrectedTime) ||
        !TicksToSystemTime(m_uncorrectedTime, uncorrected)) {
        m_message = std::u16string(ct::kInvalidLine);
        return false;
    }
    m_currentLong = FormatLongDateTime(current);
    m_currentShort = FormatFullDateTime(current);
    m_uncorrectedShort = FormatFullDateTime(uncorrected);
    const int64_t correction = reader->StartCorrection();
    m_canReset = correction != 0;
    if (correction != 0) {
        const DurationParts d = SplitDuration(correction);
        m_groupSuffix = FormatText(ct::kGroupCorrection, d.negative ? '-' : '+',
                                   static_cast<unsigned long long>(d.days), d.hours, d.minutes,
                                   d.seconds, d.milliseconds);
    } else {
        m_groupSuffix = std::u16string(ct::kGroupNone);
    }
    return true;
}

bool CorrectionEdit::Apply(std::u16string_view input, std::u16string_view caption, UiService& ui) {
    if (m_reader == nullptr) {
        ui.Warn(ct::kNoLog, caption);
        return false;
    }
    SystemTime entered{};
    int64_t enteredTicks = 0;
    if (!ParseDateTimeInput(input, entered, enteredTicks)) {
        ui.Warn(ct::kBadFormat, caption);
        return false;
    }
    if (enteredTicks == m_currentTime) {
        ui.Warn(ct::kUnchanged, caption);
        return false;
    }
    const int64_t correction =
        NewCorrection(enteredTicks, m_currentTime, m_reader->StartCorrection());
    if (!IsCorrectionInRange(correction)) {
        ui.Warn(ct::kOutOfRange, caption);
        return false;
    }
    if (ui.Ask(FormatText(ct::kConfirm, m_currentLong, FormatLongDateTime(entered)),
               ct::kConfirmCaption) != Answer::kYes) {
        return false;
    }
    // A corrected start the calendar cannot show is refused before anything changes.
    const int64_t previous = m_reader->StartCorrection();
    if (!m_reader->SetBaseTime(correction)) {
        m_reader->SetStartCorrectionValue(previous);
        ui.Warn(ct::kOutOfRange, caption);
        return false;
    }
    m_reader->SetStartCorrectionValue(correction);
    return true;
}

}  // namespace tessary
