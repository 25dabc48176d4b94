#pragma once
// The date/time the user types into the correction window: year/month/day, a blank, then
// hours:minutes:seconds with an optional fraction (2024/6/7 9:05:03.25).
#include <cstdint>
#include <string_view>

#include "platform/Calendar.h"

namespace tessary {

// True with the calendar fields and their ticks when the text has the form and is a
// representable local date/time; false for anything else (the window shows its format message).
bool ParseDateTimeInput(std::u16string_view text, SystemTime& time, int64_t& ticks);

}  // namespace tessary
