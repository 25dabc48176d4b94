#pragma once
// The start correction of a loaded log: its range, the unsaved-correction check and the
// overwrite save of the header.
#include <cstdint>
#include <string_view>

#include "logfile/InsLogFormat.h"
#include "platform/File.h"

namespace tessary {

class CLogFileRead;
class UiService;

// The signed 36-bit range, -0x800000000 to 0x7FFFFFFFF ms.
bool IsCorrectionInRange(int64_t ms);

// The correction that makes the line at `currentTicks` show `enteredTicks`: the difference in
// whole ms (truncated toward zero) added to the current correction.
int64_t NewCorrection(int64_t enteredTicks, int64_t currentTicks, int64_t currentCorrection);

// The reader's correction differs from the header copy's: the save command is enabled.
bool HasUnsavedCorrection(const CLogFileRead& reader);

// -1 no log loaded; 5 the reader's correction equals the header copy's (nothing to save);
// otherwise asks the question (Yes, No, Cancel) and returns the Answer's value.
int CheckCorrection(CLogFileRead* reader, std::u16string_view question, std::u16string_view caption,
                    UiService& ui);

// 0 saved, or the confirmation was declined; -1 the value is out of range (the header copy's
// correction becomes 0); 774 the file cannot be written; 775 no log loaded. Every failure is
// shown through `ui`. The header copy takes the value only once the bytes are written.
int32_t SaveCorrection(CLogFileRead* reader, int64_t value, bool confirm, UiService& ui);

// Before another file is opened (`beforeExit` false) or the window closes: offers to save an
// unsaved correction. False when the user cancelled, so the caller must not go on.
bool ConfirmLeaving(CLogFileRead* reader, bool beforeExit, UiService& ui);

// Rewrites the 32 header bytes, and with `ext` the first 32 extended header bytes, at offset 0
// of an existing file; nothing else in the file changes. False with a Windows error: 5 for a
// read-only file, 38 when the file is now shorter than those bytes.
bool RewriteHeader(const PathString& path, const InsLogHeader& header, const InsLogExtHeader* ext,
                   uint32_t& error);

}  // namespace tessary
