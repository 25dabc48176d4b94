#include "platform/Calendar.h"

#ifdef _WIN32
#include "platform/WinApi.h"
#else
#include <time.h>
#endif

namespace tessary {

namespace {

constexpr unsigned kFirstYear = 1601;
constexpr unsigned kLastYear = 30827;
constexpr int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr int64_t kTicksPerHour = 60 * kTicksPerMinute;

// Days since 0000-03-01 style civil arithmetic (years counted from March so that the leap day
// ends the year), exact for every proleptic Gregorian date.
constexpr int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe);
}

constexpr void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
}

constexpr int64_t kEpochDays = DaysFromCivil(kFirstYear, 1, 1);
// First day that can no longer be represented: 30828-01-01.
constexpr int64_t kEndDays = DaysFromCivil(kLastYear + 1, 1, 1) - kEpochDays;

}  // namespace

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsRepresentable(const SystemTime& time) {
    return time.year >= kFirstYear && time.year <= kLastYear && time.month >= 1 &&
           time.month <= 12 && time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) &&
           time.hour <= 23 && time.minute <= 59 && time.second <= 59 && time.milliseconds <= 999;
}

bool SystemTimeToTicks(const SystemTime& time, int64_t& ticks) {
    if (!IsRepresentable(time)) {
        return false;
    }
    int64_t days = DaysFromCivil(time.year, time.month, time.day) - kEpochDays;
    ticks = days * kTicksPerDay + time.hour * kTicksPerHour + time.minute * kTicksPerMinute +
            time.second * kTicksPerSecond + time.milliseconds * kTicksPerMs;
    return true;
}

bool TicksToSystemTime(int64_t ticks, SystemTime& time) {
    if (ticks < 0 || ticks / kTicksPerDay >= kEndDays) {
        return false;
    }
    int64_t days = ticks / kTicksPerDay;
    int64_t rest = ticks % kTicksPerDay;
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days + kEpochDays, year, month, day);
    time.year = static_cast<uint16_t>(year);
    time.month = static_cast<uint16_t>(month);
    time.day = static_cast<uint16_t>(day);
    // 1601-01-01 was a Monday; 0 is Sunday.
    time.dayOfWeek = static_cast<uint16_t>((days + 1) % 7);
    time.hour = static_cast<uint16_t>(rest / kTicksPerHour);
    rest %= kTicksPerHour;
    time.minute = static_cast<uint16_t>(rest / kTicksPerMinute);
    rest %= kTicksPerMinute;
    time.second = static_cast<uint16_t>(rest / kTicksPerSecond);
    rest %= kTicksPerSecond;
    time.milliseconds = static_cast<uint16_t>(rest / kTicksPerMs);
    return true;
}

#ifdef _WIN32
SystemTime LocalNow() {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    SystemTime result;
    result.year = local.wYear;
    result.month = local.wMonth;
    result.dayOfWeek = local.wDayOfWeek;
    result.day = local.wDay;
    result.hour = local.wHour;
    result.minute = local.wMinute;
    result.second = local.wSecond;
    result.milliseconds = local.wMilliseconds;
    return result;
}
#else
SystemTime LocalNow() {
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm local {};
    SystemTime result;
    if (localtime_r(&now.tv_sec, &local) == nullptr) {
        result.year = kFirstYear;
        result.month = 1;
        result.day = 1;
        result.dayOfWeek = 1;
        return result;
    }
    result.year = static_cast<uint16_t>(local.tm_year + 1900);
    result.month = static_cast<uint16_t>(local.tm_mon + 1);
    result.day = static_cast<uint16_t>(local.tm_mday);
    result.dayOfWeek = static_cast<uint16_t>(local.tm_wday);
    result.hour = static_cast<uint16_t>(local.tm_hour);
    result.minute = static_cast<uint16_t>(local.tm_min);
    // A leap second shows as :59, as Windows never reports :60.
    result.second = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    result.milliseconds = static_cast<uint16_t>(now.tv_nsec / 1000000);
    return result;
}
#endif

}  // namespace tessary
