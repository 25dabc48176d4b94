#pragma once
// Calendar date/time <-> 100 ns ticks since 1601-01-01 on the proleptic Gregorian calendar, as
// SystemTimeToFileTime / FileTimeToSystemTime do it: no time zone is applied to log times.
#include <cstdint>

namespace tessary {

inline constexpr int64_t kTicksPerMs = 10000;
inline constexpr int64_t kTicksPerSecond = 10000000;
inline constexpr int64_t kTicksPerDay = 864000000000;

// SYSTEMTIME: 16 bytes, the field order of the Windows structure.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};
static_assert(sizeof(SystemTime) == 16);

bool IsLeapYear(unsigned year);
unsigned DaysInMonth(unsigned year, unsigned month);

// True when Windows would accept the fields: years 1601-30827, month 1-12, day within the
// month, hour 0-23, minute and second 0-59, milliseconds 0-999 (the day of the week is ignored).
bool IsRepresentable(const SystemTime& time);
// False (ticks unchanged) when the fields are not representable.
bool SystemTimeToTicks(const SystemTime& time, int64_t& ticks);
// False for negative ticks or a date past the last day of year 30827; sets the day of week.
bool TicksToSystemTime(int64_t ticks, SystemTime& time);

// The current local date and time (GetLocalTime).
SystemTime LocalNow();

}  // namespace tessary
